// Writes the pointer image that the X server shows now, which a Windows program under
// Wine cannot see, into a file: "width height xhot yhot", then one ARGB word per pixel,
// row by row. Built for the host, beside the cross-built tests that run it.
//   x-pointer-image FILE

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: x-pointer-image FILE\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("x-pointer-image: no X display\n", stderr);
        return 2;
    }
    int eventBase = 0;
    int errorBase = 0;
    XFixesCursorImage* image =
        XFixesQueryExtension(display, &eventBase, &errorBase) ? XFixesGetCursorImage(display) : nullptr;
    if (image == nullptr) {
        std::fputs("x-pointer-image: the server shows no pointer image (XFixes)\n", stderr);
        XCloseDisplay(display);
        return 3;
    }
    // Written aside and renamed: a reader never sees half an image.
    const std::string partial = std::string(argv[1]) + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "w");
    if (out == nullptr) {
        std::perror(partial.c_str());
        return 4;
    }
    std::fprintf(out, "%u %u %u %u\n", image->width, image->height, image->xhot, image->yhot);
    for (unsigned i = 0; i < static_cast<unsigned>(image->width) * image->height; ++i) {
        std::fprintf(out, "%08lx\n", image->pixels[i] & 0xFFFFFFFFul);
    }
    XFree(image);
    XCloseDisplay(display);
    if (std::fclose(out) != 0 || std::rename(partial.c_str(), argv[1]) != 0) {
        std::perror(argv[1]);
        return 4;
    }
    return 0;
}
