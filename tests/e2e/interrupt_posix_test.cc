// Ctrl+C during the update countdown: the terminal signals the tool's whole
// process group. The tool says that the update goes on and ends as
// interrupted; the flash program, in a session of its own, runs to its end.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "e2e.h"

TEST(Interrupt, FlashOutlivesCtrlC) {
  std::string folder = PrepareFolder("Interrupt");
  CopyProgram(folder, E2E_ICMD_PATH, "icmd.exe");
  CopyProgram(folder, E2E_FLASH_PATH, "Yafuflash.exe");
  WriteFile(folder, "image.txt", "fw.ima\n");
  WriteFile(folder, "bmcsim.txt", "flash_sets=09 16\nflash_delay_ms=2000\n");
  // The tool leads a process group of its own, as a shell's foreground job.
  std::FILE* tool =
      popen(("cd " + folder +
             " && echo $$ > pid && exec setsid ./" E2E_TOOL_NAME " > stdout.txt 2> stderr.txt")
                .c_str(),
            "w");
  std::fputs("y\n1.2.3.4\ny\n", tool);
  std::fflush(tool);
  ASSERT_TRUE(WaitForOutput(folder, "BMCアップデート中です"));
  kill(-std::stoi(ReadFile(folder, "pid")), SIGINT);
  int status = pclose(tool);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_NE(std::string::npos, ReadFile(folder, "stdout.txt")
                                   .find("\r\n中断しました。BMCのアップデートは続いています。\n"
                                         "サーバーの電源を切らずに5分以上待ってから、もう一度実行し"
                                         "てバージョンを確認してください。\n"));
  for (int i = 0;
       i < 100 && ReadFile(folder, "bmcsim.txt").find("firmware=09 16") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_NE(std::string::npos, ReadFile(folder, "bmcsim.txt").find("firmware=09 16"));
}
