/* Preloaded into the window tests of the sanitizer build only: libraries
   opened at run time stay loaded to the end of the process, as the leak
   check runs after them.  A library the OpenGL driver unloads at exit would
   otherwise leave what it still held reported as leaks from an unnamed
   place, which no suppression can name; kept loaded, it holds them still. */
int dlclose(void* handle)
{
    (void)handle;
    return 0;
}
