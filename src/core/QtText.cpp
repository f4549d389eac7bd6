// Number texts in the user's form.
#include "core/QtText.h"

namespace dx {

QString formatFixed(double value, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

} // namespace dx
