// The simulated BMC's state file, bmcsim.txt in the working directory, shared
// by the stand-in icmd.exe and Yafuflash.exe.
#ifndef BMCSIM_STATE_H_
#define BMCSIM_STATE_H_

// What the `fault=` key makes icmd.exe do wrong.
enum SimFault {
  kFaultNone,
  kFaultNoResponse,  // no response line at all
  kFaultTruncated,   // the response line cut to 20 characters
  kFaultCrlf,        // every stdout line ends CR LF
  kFaultCtrlZ,       // a byte 1Ah right before the response line
  kFaultNoCapture,   // the capture file deleted, where the platform lets us
  kFaultCount,       // not a fault: how many there are
};

// Which requests the fault hits (`fault_scope=`); kScopeCount: how many.
enum SimFaultScope { kScopeAll, kScopeVersion, kScopeFru, kScopeCount };

// Everything bmcsim.txt says, with the defaults filled in.
struct SimState {
  unsigned char fru[256];        // FRU device 0, bytes 0 to 255
  unsigned char deviceId;        // Get Device ID data byte 0
  unsigned char deviceRevision;  // data byte 1
  unsigned char firmware[2];     // data bytes 2 and 3
  int hasAfterReset;             // 1 when after_reset= was given
  unsigned char afterReset[2];   // firmware a cold reset sets when busy
  SimFault fault;                // fault=
  SimFaultScope faultScope;      // fault_scope=
  int failFruAt;                 // 1-based FRU request to fail, 0: none
  long flashDelayMs;             // flash_delay_ms=
  int hasFlashSets;              // 1 when flash_sets= was given
  unsigned char flashSets[2];    // firmware the flash writes when done
  char rawOutput[256];           // raw_output=: a file printed instead, or ""
  char flashUntil[256];          // flash_until=NAME:TEXT, or ""
  char password[256];            // password=: the only one icmd.exe accepts, or ""
  int hasPassword;               // 1 when password= was given
  int slowRequest;  // slow_request=: 1-based icmd.exe request that takes its time, 0: none
  long slowMs;      // slow_ms=: how long it takes
};

// Fills `state` from bmcsim.txt; a missing file gives the defaults. A line
// with a bad value is reported on stderr and otherwise ignored.
void LoadState(SimState* state);

// Rewrites bmcsim.txt with its firmware= line (added if absent) set to
// `firmware`, every other line kept, by writing bmcsim.txt.tmp and renaming
// it over. 0, or -1 when the file could not be replaced.
int StoreFirmware(const unsigned char firmware[2]);

#endif  // BMCSIM_STATE_H_
