// Where a print queue sends its jobs: its port. On a system with CUPS this is the
// queue's device URI ("usb://Brother/HL-L2350DW", "socket://192.168.1.20:9100",
// "cups-pdf:/"), or, for a queue shared by another server, the queue's own address; any
// user name and password in it are left out. Elsewhere, and for a queue the print
// system does not know, there is none.
#pragma once

#include <QString>

namespace dx {

QString printerPort(const QString &printerName);

// The address with any user name and password left out.
QString uriWithoutCredentials(const QString &uri);

} // namespace dx
