// A libPelkSigner.so that lacks the signing function: it loads, but the symbol lookup fails.
extern "C" __attribute__((visibility("default"))) int PelkSigner_Version() { return 1; }
