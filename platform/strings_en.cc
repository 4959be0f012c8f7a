// English string table (language 1033). Texts are byte for byte those the program
// shows and stores; keep them in id order.
#include "platform/string_table.h"

namespace harvelo {
namespace {

constexpr StringEntry kEnglish[] = {
    {IDS_START_CAPTION, "S&tart"},
    {IDS_STOP_CAPTION, "&Stop"},
    {IDS_GET_FROM_BROWSER_CAPTION, "&Get from Browser"},
    {IDS_BROWSER_CAPTION, "Bro&wser"},
    {IDS_BATCH_FILE_CAPTION, "From &Batch file"},
    {IDS_CONFIG_CAPTION, "&Config"},
    {IDS_HELP_CAPTION, "&Help"},
    {IDS_ABOUT_CAPTION, "&About"},
    {IDS_COLUMN_TIME, "Time"},
    {IDS_COLUMN_STATUS, "Status"},
    {IDS_COLUMN_DEST_FILE, "Dest. File Name"},
    {IDS_COLUMN_RESOURCE_URL, "Resource URL"},
    {IDS_BATCH_FILTER, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"},
    {IDS_CANNOT_WRITE_PATH, "Cannot write files to the path \"%s%s###.<ext>\"."},
    {IDS_CANNOT_OPEN_BATCH, "Cannot open selected batch file."},
    {IDS_BATCH_EMPTY,
     "The batch file appears to be empty.\n\nRemember: Each URL has to be separated by a "
     "newline."},
    {IDS_ENTER_PREFIX, "Please enter a File Prefix."},
    {IDS_STATUS_PREPARING_QUEUED, "Preparing to download (%d queued)..."},
    {IDS_STATUS_DOWNLOADED, "%d resources downloaded successfully%s."},
    {IDS_TITLE_DONE, "HV: Done."},
    {IDS_STATUS_NONE_DOWNLOADED, "No resources downloaded%s."},
    {IDS_TITLE_ERROR, "HV: Error."},
    {IDS_SUFFIX_STOPPED, " [STOPPED]"},
    {IDS_ENTER_URL, "Please enter the URL to process."},
    {IDS_STATUS_PREPARING, "Preparing to download..."},
    {IDS_TITLE_PREPARING, "HV: Prep..."},
    {IDS_LOG_IN_PROGRESS, "In Progress"},
    {IDS_LOG_OK, "Ok"},
    {IDS_LOG_ERROR, "ERROR"},
    {IDS_CANNOT_DOWNLOAD_SOURCE,
     "Cannot download URL's source text.\nWinInet Code: %lu (0x%lX)\nErr Desc.: %s\nErr "
     "Context: %s"},
    {IDS_NO_USEFUL_RESOURCES, "No useful resources were found in entered URL."},
    {IDS_WADDR_HEADER, "*** WEB ADDRESS ORIGINAL RESOURCE LOCATION ***\n\n"},
    {IDS_WADDR_CREATED_WITH, "Created with Harvelo version 1.0.\n"},
    {IDS_WADDR_CONTAINER_PAGE, "Hyperlink container page: \"%s\".\n"},
    {IDS_WADDR_PAGE_TITLE, "Page Title: \"%s\".\n"},
    {IDS_WADDR_FILE_INDEX, "File Index:\n\n"},
    {IDS_LOG_STOPPED, "Stopped"},
    {IDS_STATUS_DOWNLOADING, "%sDownloading resource %d of %d (%d%% done)."},
    {IDS_TITLE_PERCENT_QUEUED, "HV: %s%d%% (%d queued)"},
    {IDS_TITLE_PERCENT, "HV: %s%d%%"},
    {IDS_WADDR_OK, "[   OK    ]  \"%s\" -> \"file://%s\".\n"},
    {IDS_WADDR_STOPPED, "[ STOPPED ]  \"%s\" -> \"file://%s\".\n"},
    {IDS_WADDR_ERROR, "[  ERROR  ]  \"%s\" -> \"file://%s\".\n"},
    {IDS_SELECT_DESTINATION, "Please select destination directory."},
    {IDS_LOG_TOO_SMALL, "Too Small"},
    {IDS_WADDR_TOO_SMALL, "[TOO SMALL]  \"%s\".\n"},
    {IDS_CANCEL_CAPTION, "Cancel"},
    {IDS_OK_CAPTION, "Ok"},
    {IDS_LABEL_CURRENT_PAGE, "Current Page:"},
    {IDS_LABEL_LAST_PAGE, "Last Page:"},
    {IDS_TO_QUEUE_CAPTION, "&To queue"},
    {IDS_TITLE_PREPARING_QUEUED, "HV: Prep... (%d Queued)"},
    {IDS_TITLE_STOPPED, "HV: Stopped."},
    {IDS_STATUS_DOWNLOADING_QUEUED, "%sDownloading resource %d of %d (%d%% done, %d queued)."},
    {IDS_HELP_PATH, "Help/help_en.html"},
    {IDS_VENDOR_URL, "http://www.harvelo.example/"},
    {IDS_LOG_HTTP_ERROR, "ERR %d"},
    {IDS_SERVER_REFUSED,
     "Server found but it refused to send URL's source text. It returned HTTP error code %d%s"},
    {IDS_SUFFIX_401, " (\"Unauthorized access\")."},
    {IDS_SUFFIX_403, " (\"Forbidden access\")."},
    {IDS_SUFFIX_404, " (\"Resource not found\")."},
    {IDS_SUFFIX_500, " (\"Internal server error\")."},
    {IDS_SUFFIX_OTHER, "."},
    {IDS_WADDR_HTTP_ERROR, "[ ERR=%03d ]  \"%s\" -> \"file://%s\".\n"},
    {IDS_NO_NETSCAPE, "Cannot found any Netscape Navigator's windows open."},
    {IDS_NO_INSPECTOR,
     "Cannot found \"Inspector.exe\" module. Please re-install Harvelo to recover lost modules."},
    {IDS_NO_IE_WINDOWS,
     "Cannot found any Microsoft Internet Explorer's windows with on-line content."},
    {IDS_PAUSED_MARK, "[PAUSED] "},
    {IDS_NO_CURRENT_PAGE, "There isn't Current Page."},
    {IDS_TIP_ABOUT, "Shows About information"},
    {IDS_TIP_ALWAYS_ON_TOP, "Switches between always of top and normal mode"},
    {IDS_TIP_AUTO_INCREMENT, "Enables/Disables auto-increment of file prefix"},
    {IDS_TIP_BATCH_FILE, "Gets a list of URLs from a text file"},
    {IDS_TIP_CONFIG, "Opens Harvelo's configuration dialog box"},
    {IDS_TIP_DESTINATION, "Where downloaded resources will be stored"},
    {IDS_TIP_BROWSE_DESTINATION, "Helps selecting Destination Directory"},
    {IDS_TIP_GET_FROM_BROWSER, "Gets next URL from and open internet-browser window"},
    {IDS_TIP_HELP, "Shows Harvelo User's Guide"},
    {IDS_TIP_MINIMIZE, "Minimizes Harvelo's main dialog box"},
    {IDS_TIP_CLIPBOARD, "Gets next URL from the clipboard"},
    {IDS_TIP_PAUSE, "Pauses Harvelo"},
    {IDS_TIP_BROWSER, "Opens an internet-browser windows and loads the Current Page"},
    {IDS_TIP_START, "Starts processing the entered URL"},
    {IDS_TIP_STOP, "Stops processing the current URL"},
    {IDS_TIP_PREFIX, "Resources from the next downloaded gallery will start with this string"},
    {IDS_CONTINUE_QUEUE,
     "You have stopped the processing of the current page. \n\nWould you like to continue "
     "processing the rest of queued pages?"},
    {IDS_CANNOT_CONNECT,
     "Cannot Connect to Internet (WinInet Code: 0x2EFD).\n\nImportant: Among other causes, this "
     "error may occur because a firewall program (For example Symantec's Norton Internet "
     "Security) is blocking Harvelo from accessing Internet.\n\nTo resolve the problem, add "
     "Harvelo to the firewall's list of programs with access rights to Internet. Consult your "
     "firewall's documentation."},
    {IDS_CHANGE_CAPTION, "&Change"},
    {IDS_RESTART_FOR_LANGUAGE,
     "Please quit the program and restart it again to see the change in User Interfase "
     "Language."},
    {IDS_LOG_DUPLICATE, "Duplicate"},
    {IDS_WADDR_DUPLICATE, "[DUPLICATE]  \"%s\" -> \"file://%s\".\n"},
    {IDS_LOG_NOT_PICTURE, "Not a picture"},
    {IDS_WADDR_NOT_PICTURE, "[NOT IMAGE]  \"%s\".\n"},
    {IDS_RENDER_NO_BROWSER,
     "Pages are read as the server sends them: the web browser Chromium, which shows pages "
     "built by script, could not be started (%s). Install the package \"chromium\"."},
    {IDS_LOG_NOT_RENDERED, "Ok (not rendered)"},
};

}  // namespace

std::span<const StringEntry> EnglishStrings() {
  return kEnglish;
}

}  // namespace harvelo
