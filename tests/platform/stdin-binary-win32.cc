// The Windows runtime reads standard input in text mode (CR LF to LF, 1Ah
// as the end); the copy must see the bytes as they are.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

void SetStdinBinary() { _setmode(_fileno(stdin), _O_BINARY); }
