// Dialogs 144 (configuration), 148 (About) and 155 (language), in English and Spanish.
#include "app/dialog_template.h"
#include "app/icons.h"
#include "platform/thread_locale.h"

namespace harvelo::app {
namespace {

using K = ControlKind;

// The three browser choices keep their stored values 0, 1 and 2 and are named after
// what they reach here: 0 a Chromium-family browser, 1 and 2 Firefox (as Netscape
// Navigator 4 and 6 were reached).
constexpr ControlTemplate kConfigEnglish[] = {
    {kNoId, K::kLabel, "&Download these resource types:", 14, 12, 54, 26},
    {1024, K::kEdit, "", 70, 17, 174, 14},
    {kNoId, K::kLabel, "(Use comma to separate resource extensions)", 70, 35, 174, 8},
    {kNoId, K::kGroupBox, " Internet Browser ", 14, 55, 106, 67},
    {1020, K::kRadioFirst, "C&hromium / Chrome", 20, 70, 94, 10},
    {1021, K::kRadio, "&Firefox (Netscape 4)", 20, 86, 94, 10},
    {1022, K::kRadio, "Fir&efox (Netscape 6)", 20, 102, 94, 10},
    {1099, K::kRadio, "", 20, 102, 0, 0},  // "none chosen", never shown
    {kNoId, K::kLabel, "&Ignore resources with sizes less than:", 127, 61, 126, 8},
    {1030, K::kDigitsEdit, "", 127, 76, 34, 14},
    {1032, K::kUpDown, "", 152, 76, 10, 14},
    {kNoId, K::kLabel, "KB", 167, 78, 12, 8},
    {1023, K::kCheckBox, "&Generate \"webaddr.txt\" log file.", 127, 106, 126, 10},
    {kNoId, K::kLabel, "User Interfase Language:", 14, 134, 82, 8},
    {4, K::kOwnerButton, "&Change", 98, 132, 59, 14},
    {kNoId, K::kLabel, "Debug &Options:", 14, 157, 56, 8},
    {1025, K::kEdit, "", 72, 155, 172, 14},
    // Settings added since: how today's pages are read, below the original rows.
    {kNoId, K::kGroupBox, " Today's pages ", 14, 177, 232, 72},
    {1050, K::kCheckBox, "&Read srcset, lazy-loaded and PICTURE images", 20, 190, 220, 10},
    {kNoId, K::kLabel, "Smallest &picture:", 20, 206, 66, 8},
    {1051, K::kDigitsEdit, "", 88, 204, 30, 14},
    {kNoId, K::kLabel, "x", 121, 206, 6, 8},
    {1052, K::kDigitsEdit, "", 129, 204, 30, 14},
    {kNoId, K::kLabel, "pixels (0 x 0: any)", 163, 206, 80, 8},
    {1053, K::kCheckBox, "S&kip a copy of a file this run stored", 20, 222, 220, 10},
    {1054, K::kCheckBox, "Skip a copy of a file already in the destinatio&n", 20, 235, 220, 10},
    // How the pages and pictures travel: a column of its own on the right.
    {kNoId, K::kGroupBox, " Transfers ", 258, 12, 200, 90},
    {kNoId, K::kLabel, "Parallel &transfers:", 264, 28, 72, 8},
    {1055, K::kDigitsEdit, "", 338, 26, 34, 14},
    {1056, K::kUpDown, "", 362, 26, 10, 14},
    {kNoId, K::kLabel, "(1 to 16 at a time)", 377, 28, 78, 8},
    {kNoId, K::kLabel, "HTTP/&2 streams:", 264, 48, 72, 8},
    {1057, K::kDigitsEdit, "", 338, 46, 34, 14},
    {1058, K::kUpDown, "", 362, 46, 10, 14},
    {kNoId, K::kLabel, "(at once over one https connection; 0: HTTP/1.1 only)", 377, 46, 78, 26},
    {1059, K::kCheckBox, "Ask for co&mpressed pages (gzip, brotli, zstd)", 264, 82, 190, 10},
    {kNoId, K::kGroupBox, " Pages built by script ", 258, 108, 200, 92},
    {kNoId, K::kLabel, "Read a page as the &browser shows it:", 264, 122, 188, 8},
    {1060, K::kRadioFirst, "Never", 270, 135, 182, 10},
    {1061, K::kRadio, "Pages taken from a browser", 270, 148, 182, 10},
    {1062, K::kRadio, "Typed addresses too (Chromium without a window)", 270, 161, 182, 10},
    {kNoId, K::kLabel, "Scroll at most", 264, 181, 62, 8},
    {1063, K::kDigitsEdit, "", 328, 179, 24, 14},
    {kNoId, K::kLabel, "screens or", 355, 181, 40, 8},
    {1064, K::kDigitsEdit, "", 397, 179, 24, 14},
    {kNoId, K::kLabel, "seconds", 424, 181, 32, 8},
    {2, K::kOwnerButton, "Cancel", 160, 262, 50, 14},
    {1, K::kOwnerButton, "OK", 250, 262, 50, 14},
    {3, K::kDefaultButton, "Def", 420, 262, 29, 14},
};

constexpr ControlTemplate kConfigSpanish[] = {
    {kNoId, K::kLabel, "&Descargar estos tipos de recurso:", 14, 12, 54, 24},
    {1024, K::kEdit, "", 70, 17, 174, 14},
    {kNoId, K::kLabel, "(Separe las extensiones con comas)", 70, 35, 174, 8},
    {kNoId, K::kGroupBox, " Navegador de Internet ", 14, 55, 106, 67},
    {1020, K::kRadioFirst, "C&hromium / Chrome", 20, 70, 94, 10},
    {1021, K::kRadio, "&Firefox (Netscape 4)", 20, 86, 94, 10},
    {1022, K::kRadio, "Fir&efox (Netscape 6)", 20, 102, 94, 10},
    {1099, K::kRadio, "", 20, 102, 0, 0},  // "none chosen", never shown
    {kNoId, K::kLabel, "&Ignorar recursos menores de:", 127, 61, 126, 8},
    {1030, K::kDigitsEdit, "", 127, 76, 34, 14},
    {1032, K::kUpDown, "", 152, 76, 10, 14},
    {kNoId, K::kLabel, "KB", 167, 78, 12, 8},
    {1023, K::kCheckBox, "&Generar el registro \"webaddr.txt\".", 127, 106, 126, 10},
    {kNoId, K::kLabel, "Idioma de la Interfase:", 14, 134, 82, 8},
    {4, K::kOwnerButton, "&Cambiar", 98, 132, 59, 14},
    {kNoId, K::kLabel, "&Opciones de depuración:", 14, 152, 56, 18},
    {1025, K::kEdit, "", 72, 155, 172, 14},
    {kNoId, K::kGroupBox, " Páginas de hoy ", 14, 177, 232, 72},
    {1050, K::kCheckBox, "&Leer imágenes srcset, diferidas y PICTURE", 20, 190, 220, 10},
    {kNoId, K::kLabel, "Imagen &mínima:", 20, 206, 66, 8},
    {1051, K::kDigitsEdit, "", 88, 204, 30, 14},
    {kNoId, K::kLabel, "x", 121, 206, 6, 8},
    {1052, K::kDigitsEdit, "", 129, 204, 30, 14},
    {kNoId, K::kLabel, "píxeles (0 x 0: todas)", 163, 206, 80, 8},
    {1053, K::kCheckBox, "Omitir copias de archivos de esta &sesión", 20, 222, 220, 10},
    {1054, K::kCheckBox, "Omitir copias de archivos ya en el des&tino", 20, 235, 220, 10},
    {kNoId, K::kGroupBox, " Transferencias ", 258, 12, 200, 90},
    {kNoId, K::kLabel, "Descargas en &paralelo:", 264, 24, 72, 16},
    {1055, K::kDigitsEdit, "", 338, 26, 34, 14},
    {1056, K::kUpDown, "", 362, 26, 10, 14},
    {kNoId, K::kLabel, "(de 1 a 16 a la vez)", 377, 28, 78, 8},
    {kNoId, K::kLabel, "Fl&ujos HTTP/2:", 264, 48, 72, 8},
    {1057, K::kDigitsEdit, "", 338, 46, 34, 14},
    {1058, K::kUpDown, "", 362, 46, 10, 14},
    {kNoId, K::kLabel, "(a la vez por una conexión https; 0: solo HTTP/1.1)", 377, 46, 78, 26},
    {1059, K::kCheckBox, "Pedir páginas comprimidas (gzip, &brotli, zstd)", 264, 82, 190, 10},
    {kNoId, K::kGroupBox, " Páginas construidas por script ", 258, 108, 200, 92},
    {kNoId, K::kLabel, "Leer la página como la muestra el &navegador:", 264, 122, 188, 8},
    {1060, K::kRadioFirst, "Nunca", 270, 135, 182, 10},
    {1061, K::kRadio, "Páginas tomadas de un navegador", 270, 148, 182, 10},
    {1062, K::kRadio, "También las escritas (Chromium sin ventana)", 270, 161, 182, 10},
    {kNoId, K::kLabel, "Desplazar hasta", 264, 181, 62, 8},
    {1063, K::kDigitsEdit, "", 328, 179, 24, 14},
    {kNoId, K::kLabel, "pantallas o", 355, 181, 40, 8},
    {1064, K::kDigitsEdit, "", 397, 179, 24, 14},
    {kNoId, K::kLabel, "segundos", 424, 181, 32, 8},
    {2, K::kOwnerButton, "Cancelar", 156, 262, 58, 14},
    {1, K::kOwnerButton, "OK", 246, 262, 58, 14},
    {3, K::kDefaultButton, "Def", 420, 262, 29, 14},
};

constexpr DialogTemplate kConfigEnglishDialog{"Harvelo Configuration", 466, 283, kConfigEnglish};
constexpr DialogTemplate kConfigSpanishDialog{"Configuración de Harvelo", 466, 283, kConfigSpanish};

// The group box comes first so that it lies beneath the labels it frames.
constexpr ControlTemplate kAboutEnglish[] = {
    {kNoId, K::kGroupBox, "", 7, 2, 168, 142},
    {kNoId, K::kIcon, "", 21, 23, 20, 20, kIconProgram},
    {kNoId, K::kIcon, "", 21, 72, 30, 30, kIconAboutPicture},
    {kNoId, K::kLabel, "Harvelo version 1.0", 51, 13, 118, 8},
    {kNoId, K::kLabel,
     "Downloads the images and other resources that a web page links to or shows.", 51, 25, 118,
     35},
    {kNoId, K::kLabel, "Harvelo Project", 51, 70, 118, 8},
    {kNoId, K::kLabel, "Made on Debian GNU/Linux", 51, 81, 118, 8},
    {1041, K::kLabel, "www.harvelo.example", 51, 92, 93, 8},
    {1, K::kOwnerButton, "Ok", 65, 119, 52, 14},
};

constexpr ControlTemplate kAboutSpanish[] = {
    {kNoId, K::kGroupBox, "", 7, 2, 168, 142},
    {kNoId, K::kIcon, "", 21, 23, 20, 20, kIconProgram},
    {kNoId, K::kIcon, "", 21, 72, 30, 30, kIconAboutPicture},
    {kNoId, K::kLabel, "Harvelo versión 1.0", 51, 13, 118, 8},
    {kNoId, K::kLabel,
     "Descarga las imágenes y otros recursos que una página web enlaza o muestra.", 51, 25, 118,
     35},
    {kNoId, K::kLabel, "Proyecto Harvelo", 51, 70, 118, 8},
    {kNoId, K::kLabel, "Hecho en Debian GNU/Linux", 51, 81, 118, 8},
    {1041, K::kLabel, "www.harvelo.example", 51, 92, 93, 8},
    {1, K::kOwnerButton, "Ok", 65, 119, 52, 14},
};

constexpr DialogTemplate kAboutEnglishDialog{"About Harvelo...", 182, 151, kAboutEnglish};
constexpr DialogTemplate kAboutSpanishDialog{"Acerca de Harvelo...", 182, 151, kAboutSpanish};

// Bilingual, the same in both languages; each choice has its picture to its left.
constexpr ControlTemplate kLanguage[] = {
    {kNoId, K::kIcon, "", 14, 10, 20, 20, kIconWindowsDefault},
    {1044, K::kRadioFirst, "Window's default  / Predeterminado por Windows", 44, 15, 210, 10},
    {kNoId, K::kIcon, "", 14, 38, 20, 20, kIconFlagUnitedKingdom},
    {1045, K::kRadio, "English / Inglés", 44, 43, 210, 10},
    {kNoId, K::kIcon, "", 14, 66, 20, 20, kIconFlagSpain},
    {1046, K::kRadio, "Spanish / Español", 44, 71, 210, 10},
    {1, K::kOwnerButton, "OK", 106, 100, 52, 16},
    {1019, K::kDefaultButton, "Def", 200, 100, 30, 14},
};

constexpr DialogTemplate kLanguageDialog{
    "Harvelo: User Interfase Language / Lenguaje para la Interfase", 265, 124, kLanguage};

}  // namespace

bool SpanishInterface() {
  return IsSpanishLocale(GetThreadLocale());
}

const DialogTemplate& ConfigDialogTemplate(bool spanish) {
  return spanish ? kConfigSpanishDialog : kConfigEnglishDialog;
}

const DialogTemplate& AboutDialogTemplate(bool spanish) {
  return spanish ? kAboutSpanishDialog : kAboutEnglishDialog;
}

const DialogTemplate& LanguageDialogTemplate() {
  return kLanguageDialog;
}

}  // namespace harvelo::app
