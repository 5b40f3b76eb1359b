// Opens an X window the way a program of the suite would and keeps it open, so that the desktop
// layer has something to find:
//   upfold-stub-xwindow [--framed] [--no-child] CLASS READYFILE
// The window's WM_CLASS class is CLASS; it gets one child window unless --no-child. --framed
// puts it inside a frame window and marks it with WM_STATE, as a reparenting window manager
// does. READYFILE is created once the server has the windows. The program ends when the X
// server goes away, on SIGTERM, or after two minutes.

#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_window_t NewWindow(xcb_connection_t* c, xcb_screen_t* screen, xcb_window_t parent) {
  xcb_window_t w = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, parent, 10, 10, 200, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  return w;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), nullptr);
  xcb_atom_t atom = r ? r->atom : XCB_NONE;
  std::free(r);
  return atom;
}

}  // namespace

int main(int argc, char** argv) {
  bool framed = false, child = true;
  int at = 1;
  for (; at < argc && argv[at][0] == '-'; ++at) {
    if (std::strcmp(argv[at], "--framed") == 0)
      framed = true;
    else if (std::strcmp(argv[at], "--no-child") == 0)
      child = false;
  }
  if (argc - at != 2) {
    std::fprintf(stderr, "usage: %s [--framed] [--no-child] CLASS READYFILE\n", argv[0]);
    return 2;
  }
  std::string cls = argv[at], ready = argv[at + 1];

  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) {
    std::fprintf(stderr, "%s: no X display\n", argv[0]);
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

  xcb_window_t frame = framed ? NewWindow(c, screen, screen->root) : XCB_NONE;
  xcb_window_t client = NewWindow(c, screen, framed ? frame : screen->root);
  std::string wmClass = "upfold-stub";
  wmClass += '\0';
  wmClass += cls;
  wmClass += '\0';
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, client, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      wmClass.size(), wmClass.data());
  if (framed) {
    xcb_atom_t wmState = Atom(c, "WM_STATE");
    std::uint32_t normalState[2] = {1, XCB_NONE};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, client, wmState, wmState, 32, 2, normalState);
  }
  if (child) xcb_map_window(c, NewWindow(c, screen, client));
  xcb_map_window(c, client);
  if (framed) xcb_map_window(c, frame);

  // A round trip: once answered, the server has carried out everything above.
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  if (std::FILE* f = std::fopen(ready.c_str(), "w")) std::fclose(f);

  alarm(120);
  while (xcb_generic_event_t* e = xcb_wait_for_event(c)) std::free(e);
  xcb_disconnect(c);
  return 0;
}
