// A library that looks like the skin library from outside: it exports SkinH_AttachRes. A test
// plants it as jedata.dll; it marks the process when it is ever loaded.
#include <cstdlib>

__attribute__((constructor)) static void MarkLoaded() {
    ::setenv("ZARKEL_PLANTED_SKIN_LOADED", "1", 1);
}

extern "C" __attribute__((visibility("default"))) int SkinH_AttachRes(const unsigned char*, int,
                                                                      const char*, int, int, int) {
    return 0;
}
