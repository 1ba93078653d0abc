// Building and starting the server's command line.
#include "launcher/Launch.h"

#include <windows.h>

#include "framework/Text.h"

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

namespace {
const wchar_t kCannotStart[] = L"VNC poslužitelj nije moguće pokrenuti.\n\n";
}

std::wstring StartFailureMessage(const std::string& serverPath, TServerCheck check, unsigned winExecResult) {
  std::wstring reason;
  if (check == TServerCheck::scMissing) {
    reason = L"Datoteka ne postoji.";
  } else if (check == TServerCheck::scDirectory) {
    reason = L"Na tom se mjestu nalazi mapa, a ne program.";
  } else {
    switch (winExecResult) {
      case 0:
        reason = L"Nema dovoljno memorije ili resursa sustava.";
        break;
      case ERROR_FILE_NOT_FOUND:
        reason = L"Datoteka nije pronađena.";
        break;
      case ERROR_PATH_NOT_FOUND:
        reason = L"Put do datoteke nije pronađen.";
        break;
      case ERROR_ACCESS_DENIED:
        reason = L"Pristup je odbijen.";
        break;
      case ERROR_BAD_FORMAT:
        reason = L"Datoteka nije valjan program.";
        break;
      default:
        reason = L"Pokretanje nije uspjelo (kôd " + std::to_wstring(winExecResult) + L").";
        break;
    }
  }
  return kCannotStart + AnsiToWide(serverPath) + L"\n\n" + reason;
}

std::wstring AddressFailureMessage(const std::wstring& address) { return kCannotStart + address; }

}  // namespace lodo
