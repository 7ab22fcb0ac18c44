/* Prints, one a line, the wall-clock time (seconds, to the microsecond) and
 * the X server's own time (milliseconds, when it made the change: free of
 * this program's scheduling) of each update of what the X server shows:
 * damage on the root window and on every window below it, one line for each
 * batch reported since the last. The windows are looked for again every
 * 50 ms, as they come and go (a new client may be given the ids of a gone
 * one's windows). Runs until it is killed. A host program of the benchmark. */
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <sys/time.h>

struct List {
    Window* ids;
    size_t n, capacity;
};

static void Add(struct List* list, Window id)
{
    if (list->n == list->capacity) {
        list->capacity = list->capacity ? 2 * list->capacity : 64;
        list->ids = realloc(list->ids, list->capacity * sizeof *list->ids);
    }
    list->ids[list->n++] = id;
}

static int Has(const struct List* list, Window id)
{
    for (size_t i = 0; i < list->n; ++i)
        if (list->ids[i] == id)
            return 1;
    return 0;
}

static void Collect(Display* display, Window window, struct List* found)
{
    Add(found, window);
    Window root, parent, *children = NULL;
    unsigned int n = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &n)) {
        for (unsigned int i = 0; i < n; ++i)
            Collect(display, children[i], found);
        if (children)
            XFree(children);
    }
}

/* A window gone between the look and the damage request is no error here. */
static int IgnoreErrors(Display* display, XErrorEvent* error)
{
    (void)display;
    (void)error;
    return 0;
}

/* Every window there now is watched, each once; gone ones are forgotten. */
static void Look(Display* display, struct List* watched)
{
    struct List now = { 0 };
    Collect(display, DefaultRootWindow(display), &now);
    for (size_t i = 0; i < now.n; ++i)
        if (!Has(watched, now.ids[i]))
            XDamageCreate(display, now.ids[i], XDamageReportNonEmpty);
    free(watched->ids);
    *watched = now;
}

int main(void)
{
    Display* display = XOpenDisplay(NULL);
    int eventBase, errorBase;
    if (!display || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "no X display with the DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    struct List watched = { 0 };
    Look(display, &watched);
    XSync(display, False);
    printf("ready\n");
    fflush(stdout);
    struct timeval lastLook;
    gettimeofday(&lastLook, NULL);
    for (;;) {
        struct timeval now;
        gettimeofday(&now, NULL);
        if ((now.tv_sec - lastLook.tv_sec) * 1000000L + (now.tv_usec - lastLook.tv_usec) >= 50000) {
            Look(display, &watched);
            lastLook = now;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != eventBase + XDamageNotify)
                continue;
            gettimeofday(&now, NULL);
            printf("%ld.%06ld %lu\n", (long)now.tv_sec, (long)now.tv_usec,
                   (unsigned long)((XDamageNotifyEvent*)&event)->timestamp);
            fflush(stdout);
            XDamageSubtract(display, ((XDamageNotifyEvent*)&event)->damage, None, None);
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        struct timeval wait = { 0, 50000 };
        select(ConnectionNumber(display) + 1, &fds, NULL, NULL, &wait);
    }
}
