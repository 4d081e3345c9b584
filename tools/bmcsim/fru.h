// The FRU image the simulated BMC answers with when bmcsim.txt gives only a
// product name.
#ifndef BMCSIM_FRU_H_
#define BMCSIM_FRU_H_

// The longest product name a type/length byte can announce.
const int kMaxProductName = 63;

// Fills `fru` with a well-formed 256-byte FRU image (common header, board
// area, product area) whose product name field is `product`: type/length
// byte C0h + length at offset 73h, the name's bytes from 74h. A name longer
// than kMaxProductName is cut.
void BuildFruImage(const char* product, unsigned char fru[256]);

#endif  // BMCSIM_FRU_H_
