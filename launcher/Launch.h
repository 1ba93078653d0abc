// The reverse-connect command and its start.
#pragma once
#include <string>

namespace lodo {

// "\"<folder>winvnc.exe\" -connect <address>", the address exactly as given.
std::string BuildConnectCommand(const std::string& programFolder, const std::string& address);

// Removes every character of code 32 or less from both ends.
std::string TrimControl(const std::string& text);
std::wstring TrimControl(const std::wstring& text);

enum class TServerCheck { scPresent, scMissing, scDirectory };
TServerCheck CheckServerFile(const std::string& path);

// WinExec's results up to this one are error codes; a greater one means the
// program started.
constexpr unsigned kWinExecLastError = 31;

// Starts the command with WinExec (show mode 1); returns WinExec's result.
unsigned StartCommand(const std::string& command);

// The user's message for a server that could not be started, from the
// program's string table.
std::wstring StartFailureMessage(const std::string& serverPath, TServerCheck check, unsigned winExecResult);
// The same message for an address that the server's 8-bit command line
// cannot carry: a character of it has no form in the ANSI code page.
std::wstring AddressFailureMessage(const std::wstring& address);

}  // namespace lodo
