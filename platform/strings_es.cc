// Spanish string table (language 1034): the same ids as the English table, with the
// same printf conversions in the same order (a test checks both).
#include "platform/string_table.h"

namespace harvelo {
namespace {

constexpr StringEntry kSpanish[] = {
    {IDS_START_CAPTION, "&Iniciar"},
    {IDS_STOP_CAPTION, "&Detener"},
    {IDS_GET_FROM_BROWSER_CAPTION, "Del &Navegador"},
    {IDS_BROWSER_CAPTION, "Nave&gador"},
    {IDS_BATCH_FILE_CAPTION, "Archivo de &lote"},
    {IDS_CONFIG_CAPTION, "&Configurar"},
    {IDS_HELP_CAPTION, "A&yuda"},
    {IDS_ABOUT_CAPTION, "Acerca &de"},
    {IDS_COLUMN_TIME, "Hora"},
    {IDS_COLUMN_STATUS, "Estado"},
    {IDS_COLUMN_DEST_FILE, "Archivo Destino"},
    {IDS_COLUMN_RESOURCE_URL, "URL del Recurso"},
    {IDS_BATCH_FILTER, "Archivos de Texto (*.txt)|*.txt|Todos los Archivos (*.*)|*.*||"},
    {IDS_CANNOT_WRITE_PATH, "No se pueden escribir archivos en la ruta \"%s%s###.<ext>\"."},
    {IDS_CANNOT_OPEN_BATCH, "No se puede abrir el archivo de lote seleccionado."},
    {IDS_BATCH_EMPTY,
     "El archivo de lote parece estar vacío.\n\nRecuerde: Cada URL tiene que estar separado por "
     "un salto de línea."},
    {IDS_ENTER_PREFIX, "Por favor escriba un Prefijo de Archivo."},
    {IDS_STATUS_PREPARING_QUEUED, "Preparando la descarga (%d en cola)..."},
    {IDS_STATUS_DOWNLOADED, "%d recursos descargados con éxito%s."},
    {IDS_TITLE_DONE, "HV: Listo."},
    {IDS_STATUS_NONE_DOWNLOADED, "Ningún recurso descargado%s."},
    {IDS_TITLE_ERROR, "HV: Error."},
    {IDS_SUFFIX_STOPPED, " [DETENIDO]"},
    {IDS_ENTER_URL, "Por favor escriba el URL a procesar."},
    {IDS_STATUS_PREPARING, "Preparando la descarga..."},
    {IDS_TITLE_PREPARING, "HV: Prep..."},
    {IDS_LOG_IN_PROGRESS, "En Progreso"},
    {IDS_LOG_OK, "Ok"},
    {IDS_LOG_ERROR, "ERROR"},
    {IDS_CANNOT_DOWNLOAD_SOURCE,
     "No se puede descargar el texto fuente del URL.\nCódigo WinInet: %lu (0x%lX)\nDescr. Err.: "
     "%s\nContexto Err.: %s"},
    {IDS_NO_USEFUL_RESOURCES, "No se encontraron recursos útiles en el URL escrito."},
    {IDS_WADDR_HEADER, "*** UBICACIÓN ORIGINAL EN LA WEB DE LOS RECURSOS ***\n\n"},
    {IDS_WADDR_CREATED_WITH, "Creado con Harvelo versión 1.0.\n"},
    {IDS_WADDR_CONTAINER_PAGE, "Página contenedora de hipervínculos: \"%s\".\n"},
    {IDS_WADDR_PAGE_TITLE, "Título de la Página: \"%s\".\n"},
    {IDS_WADDR_FILE_INDEX, "Índice de Archivos:\n\n"},
    {IDS_LOG_STOPPED, "Detenido"},
    {IDS_STATUS_DOWNLOADING, "%sDescargando recurso %d de %d (%d%% listo)."},
    {IDS_TITLE_PERCENT_QUEUED, "HV: %s%d%% (%d en cola)"},
    {IDS_TITLE_PERCENT, "HV: %s%d%%"},
    {IDS_WADDR_OK, "[     OK     ]  \"%s\" -> \"Arch.://%s\".\n"},
    {IDS_WADDR_STOPPED, "[  DETENIDO  ]  \"%s\" -> \"Arch.://%s\".\n"},
    {IDS_WADDR_ERROR, "[   ERROR    ]  \"%s\" -> \"Arch.://%s\".\n"},
    {IDS_SELECT_DESTINATION, "Por favor seleccione el directorio destino."},
    {IDS_LOG_TOO_SMALL, "Muy Pequeño"},
    {IDS_WADDR_TOO_SMALL, "[MUY PEQUEÑO]  \"%s\".\n"},
    {IDS_CANCEL_CAPTION, "Cancelar"},
    {IDS_OK_CAPTION, "Aceptar"},
    {IDS_LABEL_CURRENT_PAGE, "Página Actual:"},
    {IDS_LABEL_LAST_PAGE, "Última Página:"},
    {IDS_TO_QUEUE_CAPTION, "A la &cola"},
    {IDS_TITLE_PREPARING_QUEUED, "HV: Prep... (%d en Cola)"},
    {IDS_TITLE_STOPPED, "HV: Detenido."},
    {IDS_STATUS_DOWNLOADING_QUEUED, "%sDescargando recurso %d de %d (%d%% listo, %d en cola)."},
    {IDS_HELP_PATH, "Help/help_esp.html"},
    {IDS_VENDOR_URL, "http://www.harvelo.example/"},
    {IDS_LOG_HTTP_ERROR, "ERR %d"},
    {IDS_SERVER_REFUSED,
     "Se encontró el servidor pero se negó a enviar el texto fuente del URL. Devolvió el código "
     "de error HTTP %d%s"},
    {IDS_SUFFIX_401, " (\"Acceso no autorizado\")."},
    {IDS_SUFFIX_403, " (\"Acceso prohibido\")."},
    {IDS_SUFFIX_404, " (\"Recurso no encontrado\")."},
    {IDS_SUFFIX_500, " (\"Error interno del servidor\")."},
    {IDS_SUFFIX_OTHER, "."},
    {IDS_WADDR_HTTP_ERROR, "[  ERR=%03d   ]  \"%s\" -> \"Arch.://%s\".\n"},
    {IDS_NO_NETSCAPE, "No se encontró ninguna ventana de Netscape Navigator abierta."},
    {IDS_NO_INSPECTOR,
     "No se encontró el módulo \"Inspector.exe\". Por favor reinstale Harvelo para recuperar "
     "los módulos perdidos."},
    {IDS_NO_IE_WINDOWS,
     "No se encontró ninguna ventana de Microsoft Internet Explorer con contenido en línea."},
    {IDS_PAUSED_MARK, "[EN PAUSA] "},
    {IDS_NO_CURRENT_PAGE, "No hay Página Actual."},
    {IDS_TIP_ABOUT, "Muestra la información Acerca de"},
    {IDS_TIP_ALWAYS_ON_TOP, "Cambia entre el modo siempre visible y el modo normal"},
    {IDS_TIP_AUTO_INCREMENT, "Activa/Desactiva el auto-incremento del prefijo de archivo"},
    {IDS_TIP_BATCH_FILE, "Obtiene una lista de URLs de un archivo de texto"},
    {IDS_TIP_CONFIG, "Abre el cuadro de diálogo de configuración de Harvelo"},
    {IDS_TIP_DESTINATION, "Dónde se guardarán los recursos descargados"},
    {IDS_TIP_BROWSE_DESTINATION, "Ayuda a seleccionar el Directorio Destino"},
    {IDS_TIP_GET_FROM_BROWSER, "Obtiene el siguiente URL de una ventana abierta del navegador"},
    {IDS_TIP_HELP, "Muestra la Guía del Usuario de Harvelo"},
    {IDS_TIP_MINIMIZE, "Minimiza el cuadro de diálogo principal de Harvelo"},
    {IDS_TIP_CLIPBOARD, "Obtiene el siguiente URL del portapapeles"},
    {IDS_TIP_PAUSE, "Pausa Harvelo"},
    {IDS_TIP_BROWSER, "Abre una ventana del navegador y carga la Página Actual"},
    {IDS_TIP_START, "Comienza a procesar el URL escrito"},
    {IDS_TIP_STOP, "Detiene el procesamiento del URL actual"},
    {IDS_TIP_PREFIX, "Los recursos de la siguiente galería descargada comenzarán con este texto"},
    {IDS_CONTINUE_QUEUE,
     "Ha detenido el procesamiento de la página actual. \n\n¿Desea continuar procesando el "
     "resto de las páginas en cola?"},
    {IDS_CANNOT_CONNECT,
     "No se puede conectar a Internet (Código WinInet: 0x2EFD).\n\nImportante: Entre otras "
     "causas, este error puede ocurrir porque un programa cortafuegos (Por ejemplo Norton "
     "Internet Security de Symantec) está impidiendo que Harvelo acceda a Internet.\n\nPara "
     "resolver el problema, agregue Harvelo a la lista de programas del cortafuegos con "
     "derechos de acceso a Internet. Consulte la documentación de su cortafuegos."},
    {IDS_CHANGE_CAPTION, "&Cambiar"},
    {IDS_RESTART_FOR_LANGUAGE,
     "Por favor cierre el programa y vuelva a iniciarlo para ver el cambio de Lenguaje de la "
     "Interfase."},
    {IDS_LOG_DUPLICATE, "Duplicado"},
    {IDS_WADDR_DUPLICATE, "[ DUPLICADO  ]  \"%s\" -> \"Arch.://%s\".\n"},
    {IDS_LOG_NOT_PICTURE, "No es una imagen"},
    {IDS_WADDR_NOT_PICTURE, "[NO ES IMAGEN]  \"%s\".\n"},
    {IDS_RENDER_NO_BROWSER,
     "Las páginas se leen tal como las envía el servidor: no se pudo iniciar el navegador "
     "Chromium, que muestra las páginas construidas por script (%s). Instale el paquete "
     "\"chromium\"."},
    {IDS_LOG_NOT_RENDERED, "Ok (sin renderizar)"},
};

}  // namespace

std::span<const StringEntry> SpanishStrings() {
  return kSpanish;
}

}  // namespace harvelo
