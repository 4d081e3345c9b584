// A plug-in for OpenIPMI's ipmi_sim, for the tests only: the simulated BMC
// takes its firmware revision from bmc-firmware.txt in the folder named by
// the plug-in's option, read on every Get Device ID, so that the flash
// stand-in can change it while the simulator runs. Cold Reset is taken here
// too (the stock simulator refuses it): it answers 00h and moves the BMC to
// its after-reset revision. Each cold reset is logged to bmc-requests.log in
// the same folder (Get Device ID is not: the simulator and ipmitool ask it
// on their own).
//
// bmc-firmware.txt: "MAJOR MINOR" as hex bytes, optionally followed by the
// "MAJOR MINOR" a cold reset leads to. A file that is missing or has another
// form makes Get Device ID fail with completion code FFh. It must be good
// when the simulator starts: the simulator asks for the device ID itself when
// it enables the BMC, and crashes on an error answer then.
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <OpenIPMI/mcserv.h>
}

// ipmi_sim looks these two up by name in every module that lan.conf's
// loadlib names; no installed header declares them.
extern "C" int ipmi_sim_module_print_version(sys_data_t* sys, char* options);
extern "C" int ipmi_sim_module_init(sys_data_t* sys, char* options);

namespace {

const unsigned char kAppNetFn = 0x06;
const unsigned char kGetDeviceId = 0x01;
const unsigned char kColdReset = 0x02;
const unsigned char kUnspecifiedError = 0xFF;

// The firmware folder, from the plug-in's option.
char g_folder[4096];

// folder/name into `path`. 0, or -1 when it does not fit.
int FolderFile(const char* name, char* path, size_t size) {
  int n = std::snprintf(path, size, "%s/%s", g_folder, name);
  return n >= 0 && static_cast<size_t>(n) < size ? 0 : -1;
}

// Appends one line to bmc-requests.log.
void LogRequest(const char* line) {
  char path[sizeof g_folder + 32];
  if (FolderFile("bmc-requests.log", path, sizeof path) != 0) return;
  std::FILE* log = std::fopen(path, "a");
  if (log == nullptr) return;
  std::fprintf(log, "%s\n", line);
  std::fclose(log);
}

// Reads bmc-firmware.txt: revision[0..1] now, revision[2..3] after a cold
// reset. The number of bytes read (2 or 4), or -1.
int ReadFirmware(unsigned int revision[4]) {
  char path[sizeof g_folder + 32];
  if (FolderFile("bmc-firmware.txt", path, sizeof path) != 0) return -1;
  std::FILE* file = std::fopen(path, "r");
  if (file == nullptr) return -1;
  char text[64];
  bool read = std::fgets(text, sizeof text, file) != nullptr;
  std::fclose(file);
  if (!read) return -1;
  // Two-digit hex bytes separated by blanks, up to the line's end.
  int count = 0;
  for (char* at = text; count < 4;) {
    char* end = nullptr;
    unsigned long value = std::strtoul(at, &end, 16);
    if (end == at) break;
    if (value > 0xFF) return -1;
    revision[count++] = static_cast<unsigned int>(value);
    at = end;
  }
  return count == 2 || count == 4 ? count : -1;
}

// Replaces bmc-firmware.txt whole, so that no reader sees half of it.
void WriteFirmware(unsigned int major, unsigned int minor) {
  char path[sizeof g_folder + 32];
  char temporary[sizeof g_folder + 32];
  if (FolderFile("bmc-firmware.txt", path, sizeof path) != 0 ||
      FolderFile("bmc-firmware.tmp", temporary, sizeof temporary) != 0) {
    return;
  }
  std::FILE* file = std::fopen(temporary, "w");
  if (file == nullptr) return;
  std::fprintf(file, "%02X %02X\n", major, minor);
  if (std::fclose(file) == 0) std::rename(temporary, path);
}

// Get Device ID: the target BMCs' identity, the revision from the file.
void HandleGetDeviceId(lmc_data_t* /*mc*/, msg_t* /*msg*/, unsigned char* rdata,
                       unsigned int* rdata_len, void* /*cb_data*/) {
  unsigned int revision[4];
  if (ReadFirmware(revision) < 0) {
    rdata[0] = kUnspecifiedError;
    *rdata_len = 1;
    return;
  }
  // Completion code, device ID 20h, device revision 10h, firmware revision
  // 1 and 2, IPMI 2.0, device support, manufacturer, product, auxiliary
  // firmware revision: the 15 data bytes the target BMCs answer.
  unsigned char answer[16] = {0x00, 0x20, 0x10, 0x00, 0x00, 0x02, 0x9F, 0x00,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  answer[3] = static_cast<unsigned char>(revision[0]);
  answer[4] = static_cast<unsigned char>(revision[1]);
  std::memcpy(rdata, answer, sizeof answer);
  *rdata_len = sizeof answer;
}

// Cold Reset: logged, answered 00h, and the after-reset revision taken.
void HandleColdReset(lmc_data_t* /*mc*/, msg_t* /*msg*/, unsigned char* rdata,
                     unsigned int* rdata_len, void* /*cb_data*/) {
  LogRequest("cold-reset");
  unsigned int revision[4];
  if (ReadFirmware(revision) == 4) WriteFirmware(revision[2], revision[3]);
  rdata[0] = 0x00;
  *rdata_len = 1;
}

}  // namespace

int ipmi_sim_module_print_version(sys_data_t* /*sys*/, char* /*options*/) {
  std::printf("bmcupdate test revision plug-in\n");
  return 0;
}

int ipmi_sim_module_init(sys_data_t* /*sys*/, char* options) {
  if (options == nullptr || options[0] == '\0' ||
      std::snprintf(g_folder, sizeof g_folder, "%s", options) >=
          static_cast<int>(sizeof g_folder)) {
    std::fprintf(stderr, "revision plug-in: the option must name the firmware folder\n");
    return -1;
  }
  if (ipmi_emu_register_cmd_handler(kAppNetFn, kGetDeviceId, HandleGetDeviceId, nullptr) != 0 ||
      ipmi_emu_register_cmd_handler(kAppNetFn, kColdReset, HandleColdReset, nullptr) != 0) {
    std::fprintf(stderr, "revision plug-in: cannot take Get Device ID and Cold Reset\n");
    return -1;
  }
  return 0;
}
