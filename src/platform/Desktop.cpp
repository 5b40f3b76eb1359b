#include "platform/Desktop.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace upfold {

namespace {

// Window managers nest the program's own window at most a few levels inside their frame.
constexpr int kMaxClientDepth = 3;
// Longest WM_CLASS read, in 32-bit units.
constexpr std::uint32_t kClassWords = 512;

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// xcb reports request errors through an out-parameter that must be freed; a vanished window
// is an ordinary race, so the error itself is of no interest.
template <class T, class Fn, class Cookie>
Reply<T> Ask(Fn replyFn, xcb_connection_t* c, Cookie cookie) {
  xcb_generic_error_t* error = nullptr;
  Reply<T> reply(replyFn(c, cookie, &error));
  std::free(error);
  return reply;
}

struct Node {
  bool gone = true;  // vanished meanwhile, or unreadable
  bool hasWmState = false;
  std::vector<xcb_window_t> children;  // bottom of the stack first
};

// The children and the WM_STATE mark of every window, asked together and answered in one round
// trip. wmState XCB_NONE: no window manager ever ran, so nobody has the mark.
std::vector<Node> QueryNodes(xcb_connection_t* c, xcb_atom_t wmState,
                             const std::vector<xcb_window_t>& windows) {
  std::vector<xcb_query_tree_cookie_t> trees;
  std::vector<xcb_get_property_cookie_t> states;
  for (xcb_window_t w : windows) {
    trees.push_back(xcb_query_tree(c, w));
    if (wmState != XCB_NONE)
      states.push_back(xcb_get_property(c, 0, w, wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
  }
  std::vector<Node> nodes(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    if (auto tree = Ask<xcb_query_tree_reply_t>(xcb_query_tree_reply, c, trees[i])) {
      nodes[i].gone = false;
      xcb_window_t* kids = xcb_query_tree_children(tree.get());
      nodes[i].children.assign(kids, kids + xcb_query_tree_children_length(tree.get()));
    }
    if (wmState != XCB_NONE) {
      auto state = Ask<xcb_get_property_reply_t>(xcb_get_property_reply, c, states[i]);
      nodes[i].hasWmState = state && state->type != XCB_NONE;
    }
  }
  return nodes;
}

xcb_atom_t ExistingAtom(xcb_connection_t* c, const char* name) {
  auto reply = Ask<xcb_intern_atom_reply_t>(xcb_intern_atom_reply, c,
                                            xcb_intern_atom(c, 1, std::strlen(name), name));
  return reply ? reply->atom : XCB_NONE;
}

// WM_CLASS holds "instance\0class\0"; the class is the second string.
std::string ClassPart(const xcb_get_property_reply_t* reply) {
  if (!reply || reply->format != 8) return {};
  const char* value = static_cast<const char*>(xcb_get_property_value(reply));
  std::string text(value, xcb_get_property_value_length(reply));
  std::string::size_type nul = text.find('\0');
  if (nul == std::string::npos) return {};
  std::string cls = text.substr(nul + 1);
  return cls.substr(0, cls.find('\0'));
}

struct TopLevel {
  xcb_window_t window;
  bool alive = false;              // still there when asked
  bool found = false;              // its program's window (with WM_STATE) was found
  xcb_window_t client = XCB_NONE;  // the program's window; the top-level one when not found
  int childCount = 0;
};

// Finds the program's window of every top-level window: the shallowest descendant carrying
// WM_STATE, searched level by level so that each level costs one round trip.
void FindClients(xcb_connection_t* c, xcb_atom_t wmState, std::vector<TopLevel>& tops) {
  struct Pending {
    std::size_t top;
    xcb_window_t window;
  };
  std::vector<Pending> pending;
  for (std::size_t i = 0; i < tops.size(); ++i) pending.push_back({i, tops[i].window});
  for (int depth = 0; depth <= kMaxClientDepth && !pending.empty(); ++depth) {
    std::vector<xcb_window_t> windows;
    for (const Pending& p : pending) windows.push_back(p.window);
    std::vector<Node> nodes = QueryNodes(c, wmState, windows);
    std::vector<Pending> next;
    for (std::size_t k = 0; k < pending.size(); ++k) {
      TopLevel& top = tops[pending[k].top];
      const Node& node = nodes[k];
      if (node.gone || top.found) continue;
      if (depth == 0) {
        top.alive = true;
        top.client = top.window;
        top.childCount = static_cast<int>(node.children.size());
      }
      if (node.hasWmState) {
        top.found = true;
        top.client = pending[k].window;
        top.childCount = static_cast<int>(node.children.size());
        continue;
      }
      if (wmState == XCB_NONE) continue;
      for (xcb_window_t child : node.children) next.push_back({pending[k].top, child});
    }
    pending.clear();
    for (const Pending& p : next)
      if (!tops[p.top].found) pending.push_back(p);
  }
}

}  // namespace

EnumResult XDesktop::EnumWindows(const std::function<bool(const TopLevelWindow&)>& visit) {
  int screen = 0;
  std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> conn(
      xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), &screen), &xcb_disconnect);
  xcb_connection_t* c = conn.get();
  if (xcb_connection_has_error(c)) return {};  // no display: no windows

  const EnumResult lost{false, "The connection to the X display was lost."};
  xcb_atom_t wmState = ExistingAtom(c, "WM_STATE");
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
    Node root = QueryNodes(c, XCB_NONE, {it.data->root})[0];
    if (xcb_connection_has_error(c)) return lost;
    if (root.gone) return {false, "The window list of the X display cannot be read."};

    std::vector<TopLevel> tops;
    for (auto w = root.children.rbegin(); w != root.children.rend(); ++w) tops.push_back({*w});
    FindClients(c, wmState, tops);

    std::erase_if(tops, [](const TopLevel& top) { return !top.alive; });
    std::vector<xcb_get_property_cookie_t> classes;
    for (const TopLevel& top : tops)
      classes.push_back(
          xcb_get_property(c, 0, top.client, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, kClassWords));
    for (std::size_t i = 0; i < tops.size(); ++i) {
      auto reply = Ask<xcb_get_property_reply_t>(xcb_get_property_reply, c, classes[i]);
      if (!visit({ClassPart(reply.get()), tops[i].childCount})) return {};
    }
    if (xcb_connection_has_error(c)) return lost;
  }
  return {};
}

}  // namespace upfold
