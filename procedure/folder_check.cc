// The folder, checked before anything reaches the BMC: an update that could
// only fail (no image, a kit without its programs, a folder that cannot be
// written) or that would meet another of the same BMC ends here, with
// nothing sent.
#include "procedure/folder_check.h"

#include <cctype>
#include <cstdio>

#include "platform/files.h"
#include "platform/process.h"
#include "procedure/texts.h"
#include "procedure/update.h"

namespace {

// The name of the BMC's lock: its address as typed, lower-cased, in hex,
// so that any address makes a plain file name.
void NameBmcLock(const char* address, char* name, int size) {
  int used = 0;
  for (; *address != '\0' && used + 2 < size; ++address) {
    int byte = static_cast<unsigned char>(*address);
    used +=
        std::snprintf(name + used, static_cast<size_t>(size - used), "%02x", std::tolower(byte));
  }
  name[used] = '\0';
}

// 1 when the BMC's lock is held by another update on this PC. A lock that
// cannot be made is a guard lost, not a reason to stop.
int BmcBusyHere() {
  char name[2 * sizeof g_updateSettings.bmcAddress + 1];
  NameBmcLock(g_updateSettings.bmcAddress, name, sizeof name);
  return LockInTempFolder(name) == kLockHeldElsewhere;
}

int ImageNameEmpty() { return g_updateSettings.imageName[0] == '\0'; }

int ImageFileEmpty() { return RegularFileSize(g_updateSettings.imageName) <= 0; }

int IcmdMissing() { return !InterpreterFinds("icmd.exe"); }

int FlashMissing() { return !FlashStartFinds("Yafuflash.exe"); }

int FolderReadOnly() { return ProbeFolderWritable("bmcupdate.tmp") != 0; }

// What must hold before anything reaches the BMC, in the order checked: an
// update that could only fail ends here, with nothing sent.
struct FolderCheck {
  int (*fails)();
  Message message;
  Outcome outcome;
};

const FolderCheck kFolderChecks[] = {
    {ImageNameEmpty, kMsgImageNameInvalid, kOutcomeNoImage},
    {ImageFileEmpty, kMsgImageFileMissing, kOutcomeNoImage},
    {IcmdMissing, kMsgIcmdMissing, kOutcomeKitIncomplete},
    {FlashMissing, kMsgFlashMissing, kOutcomeKitIncomplete},
    {FolderReadOnly, kMsgFolderNotWritable, kOutcomeKitIncomplete},
    {BmcBusyHere, kMsgBmcBusy, kOutcomeBmcBusyHere},
};

}  // namespace

Outcome CheckFolder() {
  for (const FolderCheck& check : kFolderChecks) {
    if (check.fails() != 0) {
      ShowMessage(check.message);
      return check.outcome;
    }
  }
  return kGoOn;
}
