// POSIX streams never translate bytes: nothing to do.
void SetStdinBinary() {}
