/* A tiny X client for the window tests.
 *   xsend info  TITLE            waits for the window, prints "WxH class=NAME icon=WxH"
 *                                (icon=none without an icon of its own)
 *   xsend key   TITLE KEYSYM     presses and releases a key in the window
 *   xsend close TITLE            asks the window to close, as a window manager does
 * Exits 1 when no window with that title appears within 20 seconds. */
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static Window Find(Display* d, Window w, const char* title)
{
    char* name = NULL;
    XWindowAttributes a;
    if (XFetchName(d, w, &name) && name) {
        int match = strcmp(name, title) == 0;
        XFree(name);
        if (match && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable) return w;
    }
    Window root, parent, *kids = NULL;
    unsigned n = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &kids, &n)) {
        for (unsigned i = 0; i < n && !found; ++i) found = Find(d, kids[i], title);
        if (kids) XFree(kids);
    }
    return found;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: xsend info|key|close TITLE [KEYSYM]\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xsend: no display\n");
        return 2;
    }
    Window w = 0;
    /* Until the window shows, however busy the machine: the test's own
       time limit stops a window that never comes. */
    for (int i = 0; i < 12000 && !w; ++i) {
        w = Find(d, DefaultRootWindow(d), argv[2]);
        if (!w) usleep(50000);
    }
    if (!w) {
        fprintf(stderr, "xsend: no window '%s'\n", argv[2]);
        return 1;
    }
    if (strcmp(argv[1], "info") == 0) {
        XWindowAttributes a;
        XGetWindowAttributes(d, w, &a);
        XClassHint hint = {0, 0};
        XGetClassHint(d, w, &hint);
        /* The window's icon as the window list reads it: width, height, pixels. */
        Atom type;
        int format;
        unsigned long count = 0, left = 0;
        unsigned char* icon = NULL;
        char iconSize[32] = "none";
        if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_ICON", False), 0, 2, False, XA_CARDINAL, &type,
                               &format, &count, &left, &icon) == Success && icon && count == 2)
            snprintf(iconSize, sizeof iconSize, "%lux%lu", ((unsigned long*)icon)[0], ((unsigned long*)icon)[1]);
        if (icon) XFree(icon);
        printf("%dx%d class=%s icon=%s\n", a.width, a.height, hint.res_class ? hint.res_class : "", iconSize);
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
    } else if (strcmp(argv[1], "key") == 0 && argc > 3) {
        KeyCode code = XKeysymToKeycode(d, XStringToKeysym(argv[3]));
        XSetInputFocus(d, w, RevertToParent, CurrentTime);
        XSync(d, False);
        usleep(100000);
        XTestFakeKeyEvent(d, code, True, 0);
        XTestFakeKeyEvent(d, code, False, 50);
    } else if (strcmp(argv[1], "close") == 0) {
        XEvent e;
        memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &e);
    } else {
        fprintf(stderr, "xsend: unknown command '%s'\n", argv[1]);
        return 2;
    }
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
