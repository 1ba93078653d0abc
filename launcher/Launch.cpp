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

std::string TrimControl(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

TServerCheck CheckServerFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return TServerCheck::scMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return TServerCheck::scDirectory;
  return TServerCheck::scPresent;
}

unsigned StartCommand(const std::string& command) { return WinExec(command.c_str(), SW_SHOWNORMAL); }

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
  return L"VNC poslužitelj nije moguće pokrenuti.\n\n" + AnsiToWide(serverPath) + L"\n\n" + reason;
}

}  // namespace lodo
