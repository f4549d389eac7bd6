// A print queue's port, asked of the CUPS scheduler where the program was built with CUPS.
#include "widgets/PrinterPort.h"

#include <QUrl>

#ifdef DX_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace dx {

QString uriWithoutCredentials(const QString &uri)
{
    QUrl url(uri);
    if (!url.isValid() || url.userInfo().isEmpty()) return uri;
    url.setUserInfo(QString());
    return url.toString();
}

QString printerPort(const QString &printerName)
{
#ifdef DX_HAVE_CUPS
    if (printerName.isEmpty()) return {};
    const QByteArray name = printerName.toLocal8Bit();
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest) return {};
    // "device-uri" is where a local queue prints; a queue of another server has only its
    // own address here.
    const char *uri = cupsGetOption("device-uri", dest->num_options, dest->options);
    if (!uri || !*uri) uri = cupsGetOption("printer-uri-supported", dest->num_options, dest->options);
    const QString port = uri ? uriWithoutCredentials(QString::fromUtf8(uri)) : QString();
    cupsFreeDests(1, dest);
    return port;
#else
    (void)printerName;
    return {};
#endif
}

} // namespace dx
