#include "CapabilityRegistry.h"

#include <cstddef>

namespace {

struct CapabilityRow {
    const char* guid;  // 8-4-4-4-12 hexadecimal, bytes in wire order
    const wchar_t* shortName;
    const wchar_t* description;
};

const CapabilityRow kCapabilityRows[] = {
    {"B2EC8F16-7C6F-451B-BD79-DC58497888B9", L"capXtZers", L"ICQ-XtZers"},
    {"B6074378-F50C-4AC7-9092-5938502D0591", L"capXSVideo", L"ICQ-XVideo"},
    {"E362C1E9-121A-4B94-A626-7A74DE24270D", L"capXSPush2Talk", L"Push2Talk"},
    {"67361515-612D-4C07-8F3D-BDE6408EA041", L"capXSStatuses", L"Xtraz MultiUser Chat"},
    {"01D8D7EE-AC3B-492A-A58D-D3D877E66B92", L"capXS1pic", L"XStatus(Angry)"},
    {"5A581EA1-E580-430C-A06F-612298B7E4C7", L"capXS2pic", L"XStatus(Duck)"},
    {"83C9B78E-77E7-4378-B2C5-FB6CFCC35BEC", L"capXS3pic", L"XStatus(Tired)"},
    {"E601E41C-3373-4BD1-BC06-811D6C323D81", L"capXS4pic", L"XStatus(Party)"},
    {"8C50DBAE-81ED-4786-ACCA-16CC3213C7B7", L"capXS5pic", L"XStatus(Beer)"},
    {"3FB0BD36-AF3B-4A60-9EEF-CF190F6A5A7F", L"capXS6pic", L"XStatus(Thinking)"},
    {"F8E8D7B2-82C4-4142-90F8-10C6CE0A89A6", L"capXS7pic", L"XStatus(Eating)"},
    {"80537DE2-A467-4A76-B354-6DFD075F5EC6", L"capXS8pic", L"XStatus(TV)"},
    {"F18AB52E-DC57-491D-99DC-6444502457AF", L"capXS9pic", L"XStatus(Friends)"},
    {"1B78AE31-FA0B-4D38-93D1-997EEEAFB218", L"capXS10pic", L"XStatus(Coffee)"},
    {"61BEE0DD-8BDD-475D-8DEE-5F4BAACF19A7", L"capXS11pic", L"XStatus(Music)"},
    {"488E1489-8ACA-4A08-82AA-77CE7A165208", L"capXS12pic", L"XStatus(Business)"},
    {"107A9A18-1232-4DA4-B6CD-0879DB780F09", L"capXS13pic", L"XStatus(Camera)"},
    {"6F493098-4F7C-4AFF-A276-34A03BCEAEA7", L"capXS14pic", L"XStatus(Funny)"},
    {"1292E550-1B64-4F66-B206-B29AF378E48D", L"capXS15pic", L"XStatus(Phone)"},
    {"D4A611D0-8F01-4EC0-9223-C5B6BEC6CCF0", L"capXS16pic", L"XStatus(Games)"},
    {"609D52F8-A29A-49A6-B2A0-2524C5E9D260", L"capXS17pic", L"XStatus(College)"},
    {"63627337-A03F-49FF-80E5-F709CDE0A4EE", L"capXS18pic", L"XStatus(Shopping)"},
    {"1F7A4071-BF3B-4E60-BC32-4C5787B04CF1", L"capXS19pic", L"XStatus(Sick)"},
    {"785E8C48-40D3-4C65-886F-04CF3F3F43DF", L"capXS20pic", L"XStatus(Sleeping)"},
    {"A6ED557E-6BF7-44D4-A5D4-D2E7D95CE81F", L"capXS21pic", L"XStatus(Surfing)"},
    {"12D07E3E-F885-489E-8E97-A72A6551E58D", L"capXS22pic", L"XStatus(@)"},
    {"BA74DB3E-9E24-434B-87B6-2F6B8DFEE50F", L"capXS23pic", L"XStatus(Engineering)"},
    {"634F6BD8-ADD2-4AA1-AAB9-115BC26D05A1", L"capXS24pic", L"XStatus(Typing)"},
    {"2CE0E4E5-7C64-4370-9C3A-7A1CE878A7DC", L"capXS25pic", L"XStatus(China1)"},
    {"101117C9-A3B0-40F9-81AC-49E159FBD5D4", L"capXS26pic", L"XStatus(China2)"},
    {"160C60BB-DD44-43F3-9140-050F00E6C009", L"capXS27pic", L"XStatus(China3)"},
    {"6443C6AF-2260-4517-B58C-D7DF8E290352", L"capXS28pic", L"XStatus(China4)"},
    {"16F5B76F-A9D2-4035-8CC5-C084703C98FA", L"capXS29pic", L"XStatus(China5)"},
    {"631436FF-3F8A-40D0-A5CB-7B66E051B364", L"capXS30pic", L"XStatus(De1)"},
    {"B70867F5-3825-4327-A1FF-CF4CC1939797", L"capXS31pic", L"XStatus(De2)"},
    {"DDCF0EA9-7195-4048-A9C6-413206D6F280", L"capXS32pic", L"XStatus(De3)"},
    {"D4E2B0BA-334E-4FA5-98D0-117DBF4D3CC8", L"capXS33pic", L"XStatus(RuSearch)"},
    {"CD5643A2-C94C-4724-B52C-DC0124A1D0CD", L"capXS34pic", L"XStatus(RuLove)"},
    {"0072D908-4AD1-43DD-9199-6F026966026F", L"capXS35pic", L"XStatus(RuJournal)"},
    {"09460000-4C7F-11D1-8222-444553540000", L"caShortSupport", L"Short Caps"},
    {"09460100-4C7F-11D1-8222-444553540000", L"caVideo", L"Video"},
    {"09460101-4C7F-11D1-8222-444553540000", L"caLiveVideo", L"Live Video"},
    {"09460102-4C7F-11D1-8222-444553540000", L"caCamera", L"Camera"},
    {"09460103-4C7F-11D1-8222-444553540000", L"caMicrophone", L"Microphone"},
    {"09460104-4C7F-11D1-8222-444553540000", L"caLiveAudio", L"Live Audio"},
    {"09460105-4C7F-11D1-8222-444553540000", L"caCallWait", L"Available For Call"},
    {"09460106-4C7F-11D1-8222-444553540000", L"caAca", L"AOL Call Alert"},
    {"09460107-4C7F-11D1-8222-444553540000", L"caMultiAudio", L"Multi Audio"},
    {"09460108-4C7F-11D1-8222-444553540000", L"caMultiVideo", L"Multi Video"},
    {"094601FF-4C7F-11D1-8222-444553540000", L"caSmartCaps", L"Smart Caps"},
    {"09461346-4C7F-11D1-8222-444553540000", L"caBuddyIcon", L"BuddyIcon"},
    {"09461345-4C7F-11D1-8222-444553540000", L"caDirectIM", L"DirectIM"},
    {"09460001-4C7F-11D1-8222-444553540000", L"caEncrypt", L"SecureIM"},
    {"09461341-4C7F-11D1-8222-444553540000", L"caTalk", L"Voice Chat"},
    {"09461343-4C7F-11D1-8222-444553540000", L"caFTSend", L"File Transfer"},
    {"09461348-4C7F-11D1-8222-444553540000", L"caFTRcv", L"File Sharing"},
    {"09461347-4C7F-11D1-8222-444553540000", L"caAddIns", L"Add-Ins Support"},
    {"0946134B-4C7F-11D1-8222-444553540000", L"caSendBuddyList", L"Send BuddyList"},
    {"09461342-4C7F-11D1-8222-444553540000", L"caDirectPlay", L"Direct Play"},
    {"09461344-4C7F-11D1-8222-444553540000", L"caRouteFinder", L"ICQ DirectConnect"},
    {"0946134D-4C7F-11D1-8222-444553540000", L"caUnification", L"ICQ Interop"},
    {"0946134A-4C7F-11D1-8222-444553540000", L"caGames", L"Games Support"},
    {"0946134A-4C7F-11D1-2282-444553540000", L"caGames2", L"Advanced Chat Features"},
    {"09461349-4C7F-11D1-8222-444553540000", L"caICQRelay", L"ICQ ServerRelay"},
    {"0946134E-4C7F-11D1-8222-444553540000", L"caUTF8support", L"UTF8 Messages"},
    {"748F2420-6287-11D1-8222-444553540000", L"caChat", L"Chat Support"},
    {"0946E000-4C7F-11D1-2282-444553540000", L"caWebSrv", L"From Web"},
    {"97B12751-243C-4334-AD22-D6ABF73F1492", L"caRTFsupport", L"RTF Messages"},
    {"A0E93F37-4C7F-11D1-8222-444553540000", L"caUnknown1", L"Common ICQ2001/2002"},
    {"10CF40D1-4C7F-11D1-8222-444553540000", L"caUnknown2", L"IM is ICQ2002"},
    {"0946134C-4C7F-11D1-8222-444553540000", L"caICQBI", L"ICQ Devils"},
    {"B99708B5-3A92-4202-B069-F1E757BB2E17", L"caICQVoiceChat", L"ICQ VoiceChat"},
    {"2E7A6475-FADF-4DC8-886F-EA3595FDB6DF", L"caICQ2001", L"IM is ICQ2001"},
    {"563FC809-0B6F-41BD-9F79-422609DFA2F3", L"caTyping", L"Typing Notifications"},
    {"1A093C6C-D7FD-4EC5-9D51-A6474E34F5A0", L"caXtraz", L"ICQ Xtraz Support"},
    {"178C2D9B-DAA5-45BB-8DDB-F3BDBD53A10A", L"caLITE4", L"IM is ICQLite"},
    {"F2E7C7F4-FEAD-4DFB-B235-36798BDF0000", L"caTrilSecureIM", L"SecureIM Trillian"},
    {"97B12751-243C-4334-AD22-D6ABF73F1409", L"caTrillian", L"IM is Trillian"},
    {"09491344-4C7F-11D1-8222-444553540000", L"caKXICQ", L"IM is KXICQ"},
    {"DD16F202-84E6-11D4-90DB-00104B9B4B7D", L"caMACICQ", L"IM is MacICQ"},
    {"09491349-4C7F-11D1-8222-444553540000", L"caLICQ", L"IM is LICQ"},
    {"A0E93F37-4FE9-D311-BCD2-0004AC96DD96", L"caSTRICQ", L"IM is StrICQ"},
    {"53494D50-5F50-524F-5349-4D505F50524F", L"caSIMPPro", L"Using SimpPRO"},
    {"7E11B778-A353-4926-A802-44735208C42A", L"caRuRambler", L"Lsp-RU-Rambler"},
    {"00E7E0DF-A9D0-4FE1-9162-C8909A132A1B", L"caBgAbv", L"Lsp-BG-Abv"},
    {"4C6B90A3-3D2D-480E-89D6-2E4B2C10D99F", L"caChNetvigator", L"Lsp-CH-Netvigator"},
    {"8ECD90E7-4F18-28F8-02EC-D618A4E9DE68", L"caImplus", L"IM is IM+"},
    {"40A7D12C-BE43-4E00-A6FD-B054B72FD652", L"caJOVPassMsg", L"JOV-ProtectMsg"},
    {"032200AC-ADA1-4209-B850-BC01143FAA83", L"caAIMPro", L"IM is AIM Pro"},
    {"ACED89EB-6D67-4887-8CB4-EACFE47C3D66", L"caDeskShare", L"Desktop Share"},
    {"26525169-6E73-6964-6500-000000000000", L"caRQ", L""},
    {"53494D20-636C-6965-6E74-000000000000", L"caSIM", L""},
    {"97B12751-243C-4334-AD22-D6ABF73F1400", L"caKopete", L""},
    {"4D697261-6E64-614D-0000-000000000000", L"caMiranda4", L""},
    {"4A696D6D-2000-0000-0000-000000000000", L"caJimm", L""},
    {"4C696371-2063-6C69-656E-740000000000", L"caLICQAll", L""},
    {"6D436861-7420-6963-7100-000000000000", L"caMChat", L""},
    {"4B6F7065-7465-2049-4351-202000000000", L"caKopete2", L""},
    {"563FC809-0B6F-414A-4F56-000000000000", L"caJOV", L""},
    {"563FC809-0B6F-414A-4F56-202020202021", L"caJOVPDA", L"IM is JOV for PDA"},
    {"C98E30FA-ACA8-4BA2-8402-F2624BEBF830", L"caJOVPDASymbian", L"IM is JOV PDA ( Symbian )"},
    {"563FC809-0B6F-414A-4F56-202020202022", L"caJOVMobile", L"IM is JOV Mobile"},
    {"24B1A41F-F164-4B59-BF32-9D1337AF1963", L"caJOVTarsel", L"IM is JOV Tarsel"},
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

CapabilityGuid ParseGuid(const char* text)
{
    CapabilityGuid guid{};
    size_t n = 0;
    for (const char* p = text; *p && p[1] && n < guid.size(); ++p) {
        if (*p == '-')
            continue;
        guid[n++] = static_cast<unsigned char>(HexDigit(p[0]) * 16 + HexDigit(p[1]));
        ++p;
    }
    return guid;
}

} // namespace

void BuildCapabilityTable(CapabilityRegistry& registry)
{
    for (const CapabilityRow& row : kCapabilityRows) {
        CapabilityGuid guid = ParseGuid(row.guid);
        registry.emplace(guid, CCapability(guid.data(), CJOVString(row.shortName), CJOVString(row.description)));
    }
}

const CapabilityRegistry& GetCapabilityRegistry()
{
    static const CapabilityRegistry registry = [] {
        CapabilityRegistry built;
        BuildCapabilityTable(built);
        return built;
    }();
    return registry;
}

const CCapability* FindCapabilityByGuid(const CapabilityRegistry& registry, const unsigned char guid[16])
{
    if (!guid)
        return nullptr;
    CapabilityGuid key;
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = guid[i];
    auto found = registry.find(key);
    return found == registry.end() ? nullptr : &found->second;
}

const CCapability* FindCapabilityByName(const CapabilityRegistry& registry, const CJOVString& shortName)
{
    for (const auto& entry : registry) {
        if (entry.second.GetShortName() == shortName)
            return &entry.second;
    }
    return nullptr;
}

int HasCapability(const CapabilityRegistry& registry, const std::vector<CCapability>& list,
                  const CJOVString& shortName, int n)
{
    const CCapability* known = FindCapabilityByName(registry, shortName);
    if (!known)
        return 0;
    for (const CCapability& capability : list) {
        if (capability.HasGuidPrefix(known->GetGuid(), n))
            return 1;
    }
    return 0;
}
