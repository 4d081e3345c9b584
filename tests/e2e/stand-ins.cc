// Folders with the simulated BMC beside the tool, and the checks that every
// run against it shares.
#include "stand-ins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e.h"

const char kBmcAddress[] = "127.100.200.201";
const char kImageLine[] = "BMC_fw_0916_rel.ima\r\n";
const char kImageName[] = "BMC_fw_0916_rel.ima";
const char kYes[] = "y\r\ny\r\nY\r\n";

std::string BmcInput() { return std::string("y\n") + kBmcAddress + "\ny\n"; }

std::string PrepareBmcFolder(const std::string& name, const std::string& state, bool withFlash) {
  std::string folder = PrepareFolder(name);
  CopyTool(folder);
  CopyProgram(folder, E2E_ICMD_PATH, "icmd.exe");
  if (withFlash) CopyProgram(folder, E2E_FLASH_PATH, "Yafuflash.exe");
  WriteFile(folder, "image.txt", kImageLine);
  WriteFile(folder, "yes.txt", kYes);
  WriteFile(folder, "bmcsim.txt", state);
  return folder;
}

std::string VersionLogLine() { return IcmdLogLine(kBmcAddress, kFactoryPassword, "00 20 18 01"); }

std::string ColdResetLogLine() { return IcmdLogLine(kBmcAddress, kFactoryPassword, "00 20 18 02"); }

void ExpectNoNulFile(const std::string& folder) {
  EXPECT_TRUE(EntriesIgnoringCase(folder, "nul").empty()) << "a file named nul in " << folder;
}

void ExpectErrorsFromIcmdOnly(const ToolRun& run, const std::vector<std::string>& log) {
  // icmd.exe writes one line to stderr per call; the flash program's
  // chatter must go nowhere.
  size_t lines = 0;
  for (char c : run.errors) lines += c == '\n';
  EXPECT_EQ(LogLinesStartingWith(log, "icmd ").size(), lines) << run.errors;
  EXPECT_EQ(std::string::npos, run.errors.find("Yafuflash")) << run.errors;
  EXPECT_EQ(std::string::npos, run.output.find("Yafuflash")) << "flash output on the console";
}
