#include "LoginErrorTexts.h"

#include "PluginModule.h"

namespace {

struct LoginError {
    unsigned short code;
    int textId;
    const wchar_t* english;
};

const LoginError kLoginErrorTexts[] = {
    {1, 105, L"Invalid UIN or password"},
    {2, 106, L"Service temporarily unavailable"},
    {3, 107, L"Unknown error"},
    {4, 108, L"Incorrect UIN or password, re-enter"},
    {5, 109, L"Mismatch UIN or password, re-enter"},
    {6, 110, L"Internal client error (bad input to authorizer)"},
    {7, 111, L"Invalid account"},
    {8, 112, L"Deleted account"},
    {9, 113, L"Expired account"},
    {10, 114, L"No access to database"},
    {11, 115, L"No access to resolver"},
    {12, 116, L"Invalid database fields"},
    {13, 117, L"Bad database status"},
    {14, 118, L"Bad resolver status"},
    {15, 119, L"Internal error"},
    {16, 120, L"Service temporarily offline"},
    {17, 121, L"Suspended account"},
    {18, 122, L"DB send error"},
    {19, 123, L"DB link error"},
    {20, 124, L"Reservation map error"},
    {21, 125, L"Reservation link error"},
    {22, 126, L"The users num connected from this IP has reached the maximum"},
    {23, 127, L"The users num connected from this IP has reached the maximum (reservation)"},
    {24, 128, L"Rate limit exceeded (reservation). Please try to reconnect in a few minutes"},
    {25, 129, L"User too heavily warned"},
    {26, 130, L"Reservation timeout"},
    {27, 131, L"You are using an older version of JOV. Upgrade required"},
    {28, 132, L"You are using an older version of JOV. Upgrade recommended"},
    {29, 133, L"Rate limit exceeded. Please try to reconnect in a few minutes"},
    {30, 134, L"Can't register on the ICQ network. Reconnect in a few minutes"},
    {32, 135, L"Invalid SecurID"},
    {34, 136, L"Account suspended because of your age (age < 13)"},
};

} // namespace

CJOVString GetLoginErrorText(unsigned short code)
{
    for (const LoginError& error : kLoginErrorTexts) {
        if (error.code == code)
            return GetPluginText(error.textId, error.english);
    }
    return CJOVString();
}
