// Linked into every program and test of the sanitizer build: leaks are
// checked at the end of every process, the system libraries' own (X11, Mesa,
// SDL, ...) suppressed by the listed file scripts/lsan.supp, ours reported.
// Mesa runs without threads of its own (llvmpipe's and the shader cache's),
// which the leak checker cannot stop safely while the process ends, and goes
// straight to its software renderer (there is no GPU under the tests' X
// servers): on the road through the hardware paths that it tries first, the
// leak checker's scan of thread-local storage crashed at the end of some
// window tests after they passed ("Tracer caught signal 11"). Options in the
// environment still add to or override these.
#include <cstdlib>

extern "C" const char* __asan_default_options() { return "detect_leaks=1"; }
extern "C" const char* __lsan_default_options() { return "suppressions=" VEY3_LSAN_SUPPRESSIONS; }

namespace {
const int mesaquiet = (setenv("LP_NUM_THREADS", "0", 0), setenv("MESA_SHADER_CACHE_DISABLE", "true", 0),
                       setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0));
}
