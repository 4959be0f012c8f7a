// Dialog 102, the main window, in English and in Spanish.
#include "app/dialog_template.h"
#include "app/icons.h"
#include "engine/control_ids.h"

namespace harvelo::app {
namespace {

using K = ControlKind;

constexpr ControlTemplate kEnglish[] = {
    {kNoId, K::kIcon, "", 7, 7, 20, 20, kIconProgram},
    {kNoId, K::kLabel, "&URL to process:", 31, 11, 52, 8},
    {IDC_CLIPBOARD, K::kOwnerButton, "P", 90, 6, 20, 17},
    {IDC_GET_FROM_BROWSER, K::kOwnerButton, "&Get from Browser", 117, 6, 81, 17},
    {IDC_BATCH_FILE, K::kOwnerButton, "From &Batch file", 205, 6, 77, 17},
    {IDC_URL, K::kComboBox, "", 7, 29, 275, 53},
    {IDC_START, K::kOwnerButton, "&Start", 7, 49, 55, 27},
    {kNoId, K::kLabel, "Total:", 64, 50, 21, 8},
    {IDC_TOTAL_PROGRESS, K::kProgress, "", 89, 49, 137, 11, 0, true},
    {kNoId, K::kLabel, "File:", 68, 66, 17, 8},
    {IDC_FILE_PROGRESS, K::kProgress, "", 89, 65, 117, 11, 0, true},
    {IDC_PAUSE, K::kOwnerButton, "P", 211, 62, 15, 14, 0, true},
    {IDC_STOP, K::kOwnerButton, "St&op", 230, 49, 52, 27, 0, true},
    {IDC_CURRENT_PAGE_LABEL, K::kLabelRight, "Current Page:", 13, 88, 46, 8},
    {IDC_CURRENT_PAGE, K::kReadOnlyEdit, "", 66, 86, 160, 14},
    {IDC_BROWSER, K::kOwnerButton, "Bro&wser", 230, 84, 52, 17},
    {kNoId, K::kLabelRight, "Title:", 39, 106, 20, 8},
    {IDC_PAGE_TITLE, K::kReadOnlyEdit, "", 66, 104, 216, 14},
    {IDC_STATUS_LINE, K::kLabel, "Download Log:", 7, 122, 275, 8},
    {IDC_DOWNLOAD_LOG, K::kListView, "", 7, 134, 275, 63},
    {kNoId, K::kLabel, "&Destination Directory:", 7, 207, 120, 8},
    {IDC_DESTINATION_DIR, K::kEdit, "", 7, 218, 161, 14},
    {IDC_BROWSE_DESTINATION, K::kOwnerButton, "...", 174, 216, 20, 17},
    {kNoId, K::kLabel, "&File Prefix:", 212, 207, 45, 8},
    {IDC_AUTO_INCREMENT, K::kCheckBox, "+&1", 258, 207, 24, 10},
    {IDC_FILE_PREFIX, K::kEdit, "", 212, 218, 70, 14},
    {IDC_ALWAYS_ON_TOP, K::kOwnerButton, "T", 7, 239, 18, 17},
    {IDC_MINIMIZE, K::kOwnerButton, "M", 29, 239, 18, 17},
    {IDC_CONFIG, K::kOwnerButton, "&Config", 59, 239, 50, 17},
    {IDC_HELP, K::kOwnerButton, "&Help", 173, 239, 49, 17},
    {IDC_ABOUT, K::kOwnerButton, "&About...", 227, 239, 55, 17},
    {IDC_DEFAULT_BUTTON, K::kDefaultButton, "Def", 126, 203, 36, 8},
};

// The Spanish texts are longer: the labels and the bottom row's Config and About are
// wider. The mnemonics are chosen so that no two controls share a letter.
constexpr ControlTemplate kSpanish[] = {
    {kNoId, K::kIcon, "", 7, 7, 20, 20, kIconProgram},
    {kNoId, K::kLabel, "&URL a procesar:", 31, 11, 56, 8},
    {IDC_CLIPBOARD, K::kOwnerButton, "P", 90, 6, 20, 17},
    {IDC_GET_FROM_BROWSER, K::kOwnerButton, "Del &Navegador", 117, 6, 81, 17},
    {IDC_BATCH_FILE, K::kOwnerButton, "Archivo de &lote", 205, 6, 77, 17},
    {IDC_URL, K::kComboBox, "", 7, 29, 275, 53},
    {IDC_START, K::kOwnerButton, "&Iniciar", 7, 49, 55, 27},
    {kNoId, K::kLabel, "Total:", 64, 50, 22, 8},
    {IDC_TOTAL_PROGRESS, K::kProgress, "", 89, 49, 137, 11, 0, true},
    {kNoId, K::kLabel, "Archivo:", 58, 66, 28, 8},
    {IDC_FILE_PROGRESS, K::kProgress, "", 89, 65, 117, 11, 0, true},
    {IDC_PAUSE, K::kOwnerButton, "P", 211, 62, 15, 14, 0, true},
    {IDC_STOP, K::kOwnerButton, "&Detener", 230, 49, 52, 27, 0, true},
    {IDC_CURRENT_PAGE_LABEL, K::kLabelRight, "Página Actual:", 7, 88, 56, 8},
    {IDC_CURRENT_PAGE, K::kReadOnlyEdit, "", 66, 86, 160, 14},
    {IDC_BROWSER, K::kOwnerButton, "Nave&gador", 230, 84, 52, 17},
    {kNoId, K::kLabelRight, "Título:", 33, 106, 30, 8},
    {IDC_PAGE_TITLE, K::kReadOnlyEdit, "", 66, 104, 216, 14},
    {IDC_STATUS_LINE, K::kLabel, "Registro de descargas:", 7, 122, 275, 8},
    {IDC_DOWNLOAD_LOG, K::kListView, "", 7, 134, 275, 63},
    {kNoId, K::kLabel, "Directorio de des&tino:", 7, 207, 120, 8},
    {IDC_DESTINATION_DIR, K::kEdit, "", 7, 218, 161, 14},
    {IDC_BROWSE_DESTINATION, K::kOwnerButton, "...", 174, 216, 20, 17},
    {kNoId, K::kLabel, "&Prefijo:", 212, 207, 40, 8},
    {IDC_AUTO_INCREMENT, K::kCheckBox, "+&1", 258, 207, 24, 10},
    {IDC_FILE_PREFIX, K::kEdit, "", 212, 218, 70, 14},
    {IDC_ALWAYS_ON_TOP, K::kOwnerButton, "T", 7, 239, 18, 17},
    {IDC_MINIMIZE, K::kOwnerButton, "M", 29, 239, 18, 17},
    {IDC_CONFIG, K::kOwnerButton, "&Configurar", 53, 239, 64, 17},
    {IDC_HELP, K::kOwnerButton, "A&yuda", 160, 239, 52, 17},
    {IDC_ABOUT, K::kOwnerButton, "Ac&erca de...", 216, 239, 66, 17},
    {IDC_DEFAULT_BUTTON, K::kDefaultButton, "Def", 126, 203, 36, 8},
};

constexpr DialogTemplate kEnglishDialog{"HV: Idle.", 289, 263, kEnglish};
constexpr DialogTemplate kSpanishDialog{"HV: Idle.", 289, 263, kSpanish};

}  // namespace

const DialogTemplate& MainWindowTemplate(bool spanish) {
  return spanish ? kSpanishDialog : kEnglishDialog;
}

}  // namespace harvelo::app
