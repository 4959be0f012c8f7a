// Identifiers of the string table. Every text the program shows or stores is looked up
// by one of these, in the interface language (English 1033 or Spanish 1034).
#pragma once

namespace harvelo {

// X(name, id): the full list; the tables in strings_en.cc and strings_es.cc must hold
// every one of them (a test checks both).
#define HARVELO_STRING_IDS(X)          \
  X(IDS_START_CAPTION, 1)              \
  X(IDS_STOP_CAPTION, 2)               \
  X(IDS_GET_FROM_BROWSER_CAPTION, 3)   \
  X(IDS_BROWSER_CAPTION, 4)            \
  X(IDS_BATCH_FILE_CAPTION, 5)         \
  X(IDS_CONFIG_CAPTION, 6)             \
  X(IDS_HELP_CAPTION, 8)               \
  X(IDS_ABOUT_CAPTION, 9)              \
  X(IDS_COLUMN_TIME, 10)               \
  X(IDS_COLUMN_STATUS, 11)             \
  X(IDS_COLUMN_DEST_FILE, 12)          \
  X(IDS_COLUMN_RESOURCE_URL, 13)       \
  X(IDS_BATCH_FILTER, 14)              \
  X(IDS_CANNOT_WRITE_PATH, 15)         \
  X(IDS_CANNOT_OPEN_BATCH, 16)         \
  X(IDS_BATCH_EMPTY, 17)               \
  X(IDS_ENTER_PREFIX, 18)              \
  X(IDS_STATUS_PREPARING_QUEUED, 19)   \
  X(IDS_STATUS_DOWNLOADED, 21)         \
  X(IDS_TITLE_DONE, 22)                \
  X(IDS_STATUS_NONE_DOWNLOADED, 23)    \
  X(IDS_TITLE_ERROR, 24)               \
  X(IDS_SUFFIX_STOPPED, 25)            \
  X(IDS_ENTER_URL, 26)                 \
  X(IDS_STATUS_PREPARING, 27)          \
  X(IDS_TITLE_PREPARING, 28)           \
  X(IDS_LOG_IN_PROGRESS, 29)           \
  X(IDS_LOG_OK, 30)                    \
  X(IDS_LOG_ERROR, 31)                 \
  X(IDS_CANNOT_DOWNLOAD_SOURCE, 32)    \
  X(IDS_NO_USEFUL_RESOURCES, 33)       \
  X(IDS_WADDR_HEADER, 34)              \
  X(IDS_WADDR_CREATED_WITH, 35)        \
  X(IDS_WADDR_CONTAINER_PAGE, 36)      \
  X(IDS_WADDR_PAGE_TITLE, 37)          \
  X(IDS_WADDR_FILE_INDEX, 38)          \
  X(IDS_LOG_STOPPED, 39)               \
  X(IDS_STATUS_DOWNLOADING, 40)        \
  X(IDS_TITLE_PERCENT_QUEUED, 41)      \
  X(IDS_TITLE_PERCENT, 42)             \
  X(IDS_WADDR_OK, 43)                  \
  X(IDS_WADDR_STOPPED, 44)             \
  X(IDS_WADDR_ERROR, 45)               \
  X(IDS_SELECT_DESTINATION, 46)        \
  X(IDS_LOG_TOO_SMALL, 47)             \
  X(IDS_WADDR_TOO_SMALL, 48)           \
  X(IDS_CANCEL_CAPTION, 49)            \
  X(IDS_OK_CAPTION, 50)                \
  X(IDS_LABEL_CURRENT_PAGE, 62)        \
  X(IDS_LABEL_LAST_PAGE, 63)           \
  X(IDS_TO_QUEUE_CAPTION, 64)          \
  X(IDS_TITLE_PREPARING_QUEUED, 67)    \
  X(IDS_TITLE_STOPPED, 69)             \
  X(IDS_STATUS_DOWNLOADING_QUEUED, 70) \
  X(IDS_HELP_PATH, 71)                 \
  X(IDS_VENDOR_URL, 72)                \
  X(IDS_LOG_HTTP_ERROR, 73)            \
  X(IDS_SERVER_REFUSED, 74)            \
  X(IDS_SUFFIX_401, 75)                \
  X(IDS_SUFFIX_403, 76)                \
  X(IDS_SUFFIX_404, 77)                \
  X(IDS_SUFFIX_500, 78)                \
  X(IDS_SUFFIX_OTHER, 79)              \
  X(IDS_WADDR_HTTP_ERROR, 80)          \
  X(IDS_NO_NETSCAPE, 81)               \
  X(IDS_NO_INSPECTOR, 82)              \
  X(IDS_NO_IE_WINDOWS, 83)             \
  X(IDS_PAUSED_MARK, 86)               \
  X(IDS_NO_CURRENT_PAGE, 87)           \
  X(IDS_TIP_ABOUT, 88)                 \
  X(IDS_TIP_ALWAYS_ON_TOP, 89)         \
  X(IDS_TIP_AUTO_INCREMENT, 90)        \
  X(IDS_TIP_BATCH_FILE, 91)            \
  X(IDS_TIP_CONFIG, 92)                \
  X(IDS_TIP_DESTINATION, 93)           \
  X(IDS_TIP_BROWSE_DESTINATION, 94)    \
  X(IDS_TIP_GET_FROM_BROWSER, 95)      \
  X(IDS_TIP_HELP, 96)                  \
  X(IDS_TIP_MINIMIZE, 97)              \
  X(IDS_TIP_CLIPBOARD, 98)             \
  X(IDS_TIP_PAUSE, 99)                 \
  X(IDS_TIP_BROWSER, 101)              \
  X(IDS_TIP_START, 102)                \
  X(IDS_TIP_STOP, 103)                 \
  X(IDS_TIP_PREFIX, 104)               \
  X(IDS_CONTINUE_QUEUE, 105)           \
  X(IDS_CANNOT_CONNECT, 106)           \
  X(IDS_CHANGE_CAPTION, 107)           \
  X(IDS_RESTART_FOR_LANGUAGE, 108)     \
  X(IDS_LOG_DUPLICATE, 140)            \
  X(IDS_WADDR_DUPLICATE, 141)          \
  X(IDS_LOG_NOT_PICTURE, 142)          \
  X(IDS_WADDR_NOT_PICTURE, 143)        \
  X(IDS_RENDER_NO_BROWSER, 144)        \
  X(IDS_LOG_NOT_RENDERED, 145)

enum StringId : int {
#define HARVELO_STRING_ENUM(name, id) name = id,
  HARVELO_STRING_IDS(HARVELO_STRING_ENUM)
#undef HARVELO_STRING_ENUM
};

}  // namespace harvelo
