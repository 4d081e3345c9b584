// An ipmi_sim plug-in for the tests, working in the simulator's folder. Get
// Device ID answers the revision in bmc-firmware.txt ("MAJOR MINOR" in hex,
// read on every request: the flash stand-in replaces it), or completion code
// FFh when the file holds none. Cold Reset, which the stock simulator
// refuses, moves after-reset.txt, when there is one, over bmc-firmware.txt.
#include <cstdio>
#include <cstring>

extern "C" {
#include <OpenIPMI/mcserv.h>
// ipmi_sim looks this up by name in the library that loadlib names.
int ipmi_sim_module_init(sys_data_t* sys, char* options);
}

namespace {

// Get Device ID: the target BMCs' 15 data bytes with the file's revision.
void GetDeviceId(lmc_data_t* /*mc*/, msg_t* /*msg*/, unsigned char* data, unsigned int* length,
                 void* /*unused*/) {
  unsigned int major = 0, minor = 0;
  std::FILE* file = std::fopen("bmc-firmware.txt", "r");
  // NOLINTNEXTLINE(cert-err34-c): two hex digits each cannot overflow.
  const bool known = file != nullptr && std::fscanf(file, "%2x %2x", &major, &minor) == 2;
  if (file != nullptr) std::fclose(file);
  const unsigned char kAnswer[16] = {0x00, 0x20, 0x10, 0x00, 0x00, 0x02, 0x9F};
  std::memcpy(data, kAnswer, sizeof kAnswer);
  data[0] = known ? 0x00 : 0xFF;
  data[3] = static_cast<unsigned char>(major);
  data[4] = static_cast<unsigned char>(minor);
  *length = known ? sizeof kAnswer : 1;
}

// Cold Reset: answered 00h; the revision after it replaces the file whole.
void ColdReset(lmc_data_t* /*mc*/, msg_t* /*msg*/, unsigned char* data, unsigned int* length,
               void* /*unused*/) {
  std::rename("after-reset.txt", "bmc-firmware.txt");
  data[0] = 0x00;
  *length = 1;
}

}  // namespace

int ipmi_sim_module_init(sys_data_t* /*sys*/, char* /*options*/) {
  int failed = ipmi_emu_register_cmd_handler(0x06, 0x01, GetDeviceId, nullptr);
  return failed != 0 ? failed : ipmi_emu_register_cmd_handler(0x06, 0x02, ColdReset, nullptr);
}
