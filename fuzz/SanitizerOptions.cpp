// Sanitizer settings of the fuzz programs. Each input is a few kilobytes: a 16 MB quarantine still
// catches a use after free within many inputs, where the default 256 MB makes every allocation touch
// fresh memory; freshly allocated blocks are not filled, as the readers never rely on their contents.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16:max_malloc_fill_size=0:detect_leaks=1";
}
