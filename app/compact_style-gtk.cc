#include <gtk/gtk.h>

#include "app/compact_style.h"

namespace harvelo::app {

void ApplyCompactStyle() {
  static const char kCss[] =
      "entry { min-height: 0; padding-top: 1px; padding-bottom: 1px; }\n"
      "combobox entry, combobox button { min-height: 0; padding-top: 1px; padding-bottom: 1px; }\n"
      "progressbar trough, progressbar progress { min-height: 8px; }\n"
      "checkbutton, radiobutton { min-height: 0; padding-top: 0; padding-bottom: 0; }\n";
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

}  // namespace harvelo::app
