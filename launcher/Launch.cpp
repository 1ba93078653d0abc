// Building and starting the server's command line.
#include "launcher/Launch.h"

#include <windows.h>

#include "framework/Text.h"
#include "launcher/Branding.h"
#include "launcher/resource.h"

namespace lodo {

std::string BuildConnectCommand(const std::string& programFolder, const std::string& address) {
  // Built to its full length: a cut address would connect somewhere else.
  std::string command;
  command.reserve(programFolder.size() + address.size() + 24);
  command += '"';
  command += programFolder;
  command += "winvnc.exe";
  command += '"';
  command += " -connect ";
  command += address;
  return command;
}

namespace {
template <typename TString>
TString TrimCodesUpTo32(const TString& text) {
  const auto blank = [](auto c) { return static_cast<unsigned>(c) <= 32; };
  size_t begin = 0, end = text.size();
  while (begin < end && blank(text[begin])) ++begin;
  while (end > begin && blank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}
}  // namespace

std::string TrimControl(const std::string& text) { return TrimCodesUpTo32(text); }
std::wstring TrimControl(const std::wstring& text) { return TrimCodesUpTo32(text); }

TServerCheck CheckServerFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return TServerCheck::scMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return TServerCheck::scDirectory;
  return TServerCheck::scPresent;
}

unsigned StartCommand(const std::string& command) { return WinExec(command.c_str(), SW_SHOWNORMAL); }

std::wstring StartFailureMessage(const std::string& serverPath, TServerCheck check, unsigned winExecResult) {
  // The texts are in the program's string table.
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  UINT reason = IDS_REASON_OTHER;
  if (check == TServerCheck::scMissing) {
    reason = IDS_REASON_MISSING;
  } else if (check == TServerCheck::scDirectory) {
    reason = IDS_REASON_DIRECTORY;
  } else {
    switch (winExecResult) {
      case 0:
        reason = IDS_REASON_NO_MEMORY;
        break;
      case ERROR_FILE_NOT_FOUND:
        reason = IDS_REASON_FILE_NOT_FOUND;
        break;
      case ERROR_PATH_NOT_FOUND:
        reason = IDS_REASON_PATH_NOT_FOUND;
        break;
      case ERROR_ACCESS_DENIED:
        reason = IDS_REASON_ACCESS_DENIED;
        break;
      case ERROR_BAD_FORMAT:
        reason = IDS_REASON_BAD_FORMAT;
        break;
      default:
        break;
    }
  }
  std::wstring because = LoadText(instance, reason);
  if (const size_t code = because.find(L"%u"); code != std::wstring::npos)
    because.replace(code, 2, std::to_wstring(winExecResult));
  return LoadText(instance, IDS_SERVER_NOT_STARTED) + L"\n\n" + AnsiToWide(serverPath) + L"\n\n" + because;
}

std::wstring AddressFailureMessage(const std::wstring& address) {
  return LoadText(GetModuleHandleW(nullptr), IDS_SERVER_NOT_STARTED) + L"\n\n" + address;
}

}  // namespace lodo
