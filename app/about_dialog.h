// The About dialog (148): program icon and picture, version, description, maker, and
// the vendor's web address as a blue link: a hand cursor over its rectangle (edges
// included) and, on a release inside it, the desktop's "open" of that address.
#pragma once
#include <functional>
#include <string>

#include <wx/cursor.h>

#include "app/harvelo_dialog.h"

namespace harvelo::app {

class AboutDialog : public HarveloDialog {
 public:
  explicit AboutDialog(wxWindow* parent);

  // What opens the address (the desktop's "open"); tests replace it.
  std::function<void(const std::string&)> openAddress;

  // The link's rectangle in client coordinates: left, top, right, bottom, all inside.
  const wxRect& LinkRect() const { return link_; }
  bool InsideLink(const wxPoint& point) const;
  bool HandShown() const { return hand_; }

 private:
  void OnMouseMove(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void ShowCursor(bool hand);

  wxRect link_;
  wxCursor arrowCursor_;
  wxCursor handCursor_;
  bool hand_ = false;
};

}  // namespace harvelo::app
