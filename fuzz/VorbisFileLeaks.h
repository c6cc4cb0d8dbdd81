// libvorbisfile 1.3.7 leaks a link's serial-number list when a chained
// stream's later link is broken (_bisect_forward_serialno returns before
// freeing it): a few bytes per hostile file, inside the library, after its
// own ov_clear. The Ogg targets include this once so that LeakSanitizer
// still reports every other leak.
#pragma once

extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }
