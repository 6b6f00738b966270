#include "ScreenName.h"

bool SameScreenName(const CJOVString& a, const CJOVString& b)
{
    return NormalizeScreenName(a) == NormalizeScreenName(b);
}

unsigned int UinOfScreenName(const CJOVString& name)
{
    if (name.GetLength() == 0 || name.GetLength() > 10)
        return 0;
    unsigned long long uin = 0;
    for (int i = 0; i < name.GetLength(); ++i) {
        wchar_t c = name.Data()[i];
        if (c < L'0' || c > L'9')
            return 0;
        uin = uin * 10 + static_cast<unsigned int>(c - L'0');
    }
    return uin > 0xFFFFFFFFull ? 0 : static_cast<unsigned int>(uin);
}
