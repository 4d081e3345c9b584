// The firmware flash: Yafuflash.exe on a worker thread.
#ifndef BMCUPDATE_FLASH_FLASH_H_
#define BMCUPDATE_FLASH_FLASH_H_

// The size of the flash command line buffer.
const int kFlashCommandSize = 512;

// Formats the flash command line from UpdateSettings. 0, or -1 when it does
// not fit.
int FormatFlashCommand(char* buffer, int size);

// The worker thread's body: waits for the flash program to end, marks that
// it has, and lets the update guard go for it. Writes nothing to the console.
void FlashWorker();

#endif  // BMCUPDATE_FLASH_FLASH_H_
