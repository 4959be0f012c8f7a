#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "agentscout/top_level_windows.h"

namespace harvelo::agentscout {

namespace {

class X11Windows : public TopLevelWindows {
 public:
  explicit X11Windows(Display* display) : display_(display) {
    net_client_list_ = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    net_wm_name_ = XInternAtom(display_, "_NET_WM_NAME", False);
    utf8_string_ = XInternAtom(display_, "UTF8_STRING", False);
    wm_protocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wm_delete_window_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  }
  ~X11Windows() override { XCloseDisplay(display_); }

  std::vector<WindowId> List() override {
    const Window root = DefaultRootWindow(display_);
    // Under a window manager its client list names the application windows; without
    // one they are the root's children, or (under a reparenting manager that keeps no
    // list) one level below them.
    std::vector<WindowId> windows = ClientList(root);
    if (!windows.empty()) return windows;
    for (const Window child : Children(root)) {
      windows.push_back(child);
      if (Title(child).empty()) {
        for (const Window grandchild : Children(child)) windows.push_back(grandchild);
      }
    }
    return windows;
  }

  std::string Title(WindowId window) override {
    std::string title;
    if (ReadProperty(window, net_wm_name_, utf8_string_, title)) return title;
    ReadProperty(window, XA_WM_NAME, AnyPropertyType, title);
    return title;
  }

  void Close(WindowId window) override {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = wm_protocols_;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(wm_delete_window_);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
  }

 private:
  std::vector<Window> Children(Window parent) {
    Window root_return = 0, parent_return = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(display_, parent, &root_return, &parent_return, &children, &count) != 0 &&
        children != nullptr) {
      out.assign(children, children + count);
    }
    if (children != nullptr) XFree(children);
    return out;
  }

  std::vector<WindowId> ClientList(Window root) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<WindowId> out;
    if (XGetWindowProperty(display_, root, net_client_list_, 0, 65536, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
      const auto* ids = reinterpret_cast<const unsigned long*>(data);  // format 32: longs
      out.assign(ids, ids + count);
    }
    if (data != nullptr) XFree(data);
    return out;
  }

  // Reads a text property whole, however long (the title is never cut).
  bool ReadProperty(Window window, Atom property, Atom type_wanted, std::string& value) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int rc = XGetWindowProperty(display_, window, property, 0, 1 << 20, False, type_wanted,
                                      &type, &format, &count, &after, &data);
    const bool ok = rc == Success && data != nullptr && type != None && format == 8;
    if (ok) value.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr) XFree(data);
    return ok;
  }

  Display* display_;
  Atom net_client_list_, net_wm_name_, utf8_string_, wm_protocols_, wm_delete_window_;
};

// A window that disappears between the listing and a read is no error of ours.
int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

std::unique_ptr<TopLevelWindows> OpenX11Windows() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return nullptr;
  XSetErrorHandler(IgnoreXErrors);
  return std::make_unique<X11Windows>(display);
}

}  // namespace harvelo::agentscout
