// Asks Windows' WinVerifyTrust whether a file's Authenticode signature is
// good, as Explorer and SmartScreen do, and prints its answer in hex:
// 0x00000000 for a good signature, TRUST_E_NOSIGNATURE (0x800b0100) for
// none, TRUST_E_BAD_DIGEST (0x80096010) for a file changed after signing.
// No window and no revocation check: the test runs offline.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>
#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t **argv) {
  if (argc != 2) {
    std::fputs("usage: trust_check FILE\n", stderr);
    return 2;
  }
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof file;
  file.pcwszFilePath = argv[1];
  WINTRUST_DATA data = {};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  LONG answer = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  std::printf("0x%08lx\n", static_cast<unsigned long>(answer));
  return answer == 0 ? 0 : 1;
}
