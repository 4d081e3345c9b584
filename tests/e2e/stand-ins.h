// The simulated BMC beside the tool: its folder, the operator's replies and
// the log lines the tool's requests leave.
#ifndef BMCUPDATE_TESTS_E2E_STAND_INS_H_
#define BMCUPDATE_TESTS_E2E_STAND_INS_H_

#include <string>
#include <vector>

#include "e2e.h"

// The address typed in every run against the simulated BMC (15 characters).
extern const char kBmcAddress[];
// image.txt as written, and the image name the flash program must get.
extern const char kImageLine[];
extern const char kImageName[];
// yes.txt, which the flash program must receive byte for byte.
extern const char kYes[];

// Replies: confirmed, kBmcAddress, factory-default password.
std::string BmcInput();

// A folder with the tool, icmd.exe, Yafuflash.exe (unless `withFlash` is
// false), image.txt, yes.txt and bmcsim.txt holding `state`.
std::string PrepareBmcFolder(const std::string& name, const std::string& state,
                             bool withFlash = true);

// The log lines of a Get Device ID and a Cold Reset with BmcInput().
std::string VersionLogLine();
std::string ColdResetLogLine();

// No file named nul, in any case, was left in the folder.
void ExpectNoNulFile(const std::string& folder);

// Standard error holds icmd.exe's one line per call and nothing else, and
// nothing the flash program printed reached either stream.
void ExpectErrorsFromIcmdOnly(const ToolRun& run, const std::vector<std::string>& log);

#endif  // BMCUPDATE_TESTS_E2E_STAND_INS_H_
