// User details: the full-details request and the meta replies, stored under
// the "ICQ: " keys that the details pages read.
#include "ICQProtocol.h"

#include <functional>

#include "ICQSettingKeys.h"
#include "EventArgData.h"
#include "ServiceIds.h"
#include "ServicesManager.h"
#include "cl/ContactList.h"
#include "packets/CLI_FULLINFO_REQUEST2.h"
#include "packets/SRV_META_BASIC_USERINFO.h"
#include "packets/SRV_META_INTERESTS_USERINFO.h"
#include "packets/SRV_META_MORE_USERINFO.h"
#include "packets/SRV_META_NOTES_USERINFO.h"
#include "packets/SRV_META_WORK_USERINFO.h"

namespace {

// Where one reply's values go: the account's settings, or a contact's item.
struct DetailsSink {
    std::function<void(const wchar_t*, const CJOVString&)> text;
    std::function<void(const wchar_t*, unsigned short)> word;
    std::function<void(const wchar_t*, unsigned char)> byte;
};

void WriteBasic(const BasicUserInfo& info, const DetailsSink& to)
{
    to.text(L"ICQ: nick name", info.nickname);
    to.text(L"ICQ: first name", info.firstName);
    to.text(L"ICQ: last name", info.lastName);
    to.text(L"ICQ: e-mail", info.email);
    to.text(L"ICQ: home city", info.homeCity);
    to.text(L"ICQ: home state", info.homeState);
    to.text(L"ICQ: home phone", info.homePhone);
    to.text(L"ICQ: home fax", info.homeFax);
    to.text(L"ICQ: home address", info.homeAddress);
    to.text(L"ICQ: cell phone", info.cellPhone);
    to.text(L"ICQ: home zip", info.homeZip);
    to.word(L"ICQ: home country code", info.homeCountry);
    to.byte(L"ICQ: GMT offset", info.gmtOffset);
    to.byte(L"ICQ: authorization flag", info.authorization);
    to.byte(L"ICQ: webaware flag", info.webAware);
    to.byte(L"ICQ: direct connection", info.directConnection);
    to.byte(L"ICQ: pyblish e-mail flag", info.publishEmail);
}

void WriteWork(const WorkUserInfo& info, const DetailsSink& to)
{
    to.text(L"ICQ: work city", info.city);
    to.text(L"ICQ: work state", info.state);
    to.text(L"ICQ: work phone", info.phone);
    to.text(L"ICQ: work fax", info.fax);
    to.text(L"ICQ: work address", info.address);
    to.text(L"ICQ: work zip", info.zip);
    to.word(L"ICQ: work country code", info.country);
    to.text(L"ICQ: work company", info.company);
    to.text(L"ICQ: work department", info.department);
    to.text(L"ICQ: work position", info.position);
    to.word(L"ICQ: work ocupation code", info.occupation);
    to.text(L"ICQ: work webpage", info.webPage);
}

void WriteMore(const MoreUserInfo& info, const DetailsSink& to)
{
    to.word(L"ICQ: age", info.age);
    to.byte(L"ICQ: gender", info.gender);
    to.text(L"ICQ: homepage", info.homepage);
    to.word(L"ICQ: birth year", info.birthYear);
    to.byte(L"ICQ: birth month", info.birthMonth);
    to.byte(L"ICQ: birth day", info.birthDay);
    to.byte(L"ICQ: spoken language1", info.language1);
    to.byte(L"ICQ: spoken language2", info.language2);
    to.byte(L"ICQ: spoken language3", info.language3);
    to.text(L"ICQ: city", info.city);
    to.text(L"ICQ: state", info.state);
    to.word(L"ICQ: country code", info.country);
    to.byte(L"ICQ: marital status code", info.maritalStatus);
    to.text(L"ICQ: localization ID", info.localizationId);
    to.text(L"ICQ: localization e-mail", info.localizationEmail);
}

void WriteInterests(const std::vector<UserInterest>& interests, const DetailsSink& to)
{
    static const wchar_t* const kCategory[] = {L"ICQ: interest1", L"ICQ: interest2", L"ICQ: interest3",
                                               L"ICQ: interest4"};
    static const wchar_t* const kKeys[] = {L"ICQ: interest keys1", L"ICQ: interest keys2", L"ICQ: interest keys3",
                                           L"ICQ: interest keys4"};
    for (int i = 0; i < CSRV_META_INTERESTS_USERINFO::kMaxInterests; ++i) {
        // Slots the reply leaves out are written empty, so old values go.
        UserInterest interest;
        if (static_cast<size_t>(i) < interests.size())
            interest = interests[static_cast<size_t>(i)];
        to.word(kCategory[i], interest.category);
        to.text(kKeys[i], interest.keywords);
    }
}

// Parses the reply by its part and writes it; false when it is no details
// part or does not parse.
bool WriteReply(unsigned short subtype, const unsigned char* packet, int length, const DetailsSink& to)
{
    switch (subtype) {
    case 0x00C8: {
        CSRV_META_BASIC_USERINFO reply;
        if (reply.Unpack(packet, length) <= 0 || !reply.IsSuccess())
            return false;
        WriteBasic(reply.GetInfo(), to);
        return true;
    }
    case 0x00D2: {
        CSRV_META_WORK_USERINFO reply;
        if (reply.Unpack(packet, length) <= 0 || !reply.IsSuccess())
            return false;
        WriteWork(reply.GetInfo(), to);
        return true;
    }
    case 0x00DC: {
        CSRV_META_MORE_USERINFO reply;
        if (reply.Unpack(packet, length) <= 0 || !reply.IsSuccess())
            return false;
        WriteMore(reply.GetInfo(), to);
        return true;
    }
    case 0x00E6: {
        CSRV_META_NOTES_USERINFO reply;
        if (reply.Unpack(packet, length) <= 0 || !reply.IsSuccess())
            return false;
        to.text(L"ICQ: about", reply.GetNotes());
        return true;
    }
    case 0x00F0: {
        CSRV_META_INTERESTS_USERINFO reply;
        if (reply.Unpack(packet, length) <= 0 || !reply.IsSuccess())
            return false;
        WriteInterests(reply.GetInterests(), to);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

void CICQProtocol::RequestDetails(unsigned int contactId, unsigned int uin)
{
    unsigned short metaSequence = static_cast<unsigned short>(m_random());
    m_detailsRequests[metaSequence] = contactId;
    unsigned int ownUin = OwnUin();
    SendPacket([&](unsigned short sequence, unsigned char* buffer, int size) {
        CCLI_FULLINFO_REQUEST2 request(sequence, NextRequestId(), ownUin, metaSequence, uin);
        return request.Pack(buffer, size);
    });
}

void CICQProtocol::HandleMetaReply(unsigned short metaSequence, const unsigned char* packet, int length)
{
    CSRV_META_USERINFO part;
    if (part.Unpack(packet, length) <= 0)
        return;
    auto pending = m_detailsRequests.find(metaSequence);
    if (pending == m_detailsRequests.end())
        return;
    unsigned int contactId = pending->second;
    unsigned short subtype = part.GetMetaSubtype();
    CJOVString ownUin = ReadString(ICQ_KEY_ACCOUNT_NAME);
    bool own = contactId == 0;
    CL::CContactList* list = contactId ? ContactList() : nullptr;
    if (list) {
        DetailsSink contact;
        contact.text = [=](const wchar_t* key, const CJOVString& value) {
            list->SetString(contactId, CJOVString(key), value);
        };
        contact.word = [=](const wchar_t* key, unsigned short value) {
            WORD word = value;
            list->SetWord(contactId, CJOVString(key), &word);
        };
        contact.byte = [=](const wchar_t* key, unsigned char value) {
            BYTE byte = value;
            list->SetByte(contactId, CJOVString(key), &byte);
        };
        if (!WriteReply(subtype, packet, length, contact))
            return;
        CJOVString uin;
        CJOVString alias;
        CJOVString nick;
        list->GetString(contactId, CJOVString(L"Account name"), uin);
        list->GetString(contactId, CJOVString(L"CL Alias"), alias);
        list->GetString(contactId, CJOVString(L"ICQ: nick name"), nick);
        // A contact still named by its number takes its nick name, on the
        // server too.
        if (subtype == 0x00C8 && alias == uin && nick.GetLength() > 0 && list->GetContactGroup(contactId) != 0)
            RenameContact(contactId, nick);
        if (m_services) {
            m_services->SendEventToClient(m_ownerClientId, GUID_ICQProtocol, CJOVString(L"Contact details received"),
                                          new CEventArg_Data<unsigned int>(m_accountId),
                                          new CEventArg_Data<unsigned int>(contactId), true);
        }
        own = uin == ownUin;
    }
    if (!own || !m_settings)
        return;
    unsigned int accountId = m_accountId;
    CAccountSettings* settings = m_settings;
    DetailsSink mine;
    mine.text = [=](const wchar_t* key, const CJOVString& value) { settings->SetString(accountId, CJOVString(key), value); };
    mine.word = [=](const wchar_t* key, unsigned short value) { settings->SetWord(accountId, CJOVString(key), value); };
    mine.byte = [=](const wchar_t* key, unsigned char value) { settings->SetByte(accountId, CJOVString(key), value); };
    if (!WriteReply(subtype, packet, length, mine))
        return;
    if (m_services) {
        m_services->SendEventToClient(m_ownerClientId, GUID_ICQProtocol, CJOVString(L"Details received"),
                                      new CEventArg_Data<unsigned int>(m_accountId), nullptr, true);
    }
}
