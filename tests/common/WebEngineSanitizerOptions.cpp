// Linked into the test programs that start Qt WebEngine, in the sanitizer build
// only. Debian's WebEngine (Chromium) frees some of its own objects with a
// sized delete of a base type, which AddressSanitizer reports as a
// new-delete-type-mismatch inside the library before any of our code runs
// wrong; every other check stays on. An ASAN_OPTIONS in the environment still
// overrides what it sets itself.
extern "C" const char* __asan_default_options()
{
    return "new_delete_type_mismatch=0";
}
