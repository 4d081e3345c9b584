// bmcupdate: updates a server's BMC firmware to revision 09-16. It takes no
// arguments; the exit code names the outcome.
#include "procedure/update.h"

int main() { return RunUpdate(); }
