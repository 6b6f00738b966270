// The protocols manager's place for an account under test: it keeps every
// status and warning the account posts. The account posts on its own thread;
// the test reads on the main one.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventsClient.h"
#include "protocols/Status.h"

class CAccountHost final : public CEventsClient {
public:
    int OnEvent(const JOV_GUID&, const CJOVString& name, CEventArg*, CEventArg* arg2) override
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (auto* status = dynamic_cast<CEventArg_Data<Protocols::StatusInfo>*>(arg2);
            status && name == CJOVString(L"Status changed"))
            m_statuses.push_back(status->m_data.status);
        if (auto* text = dynamic_cast<CEventArg_Data<CJOVString>*>(arg2); text && name == CJOVString(L"Warning"))
            m_warnings.emplace_back(text->m_data.Data(), text->m_data.GetLength());
        return 0;
    }

    std::vector<int> Statuses()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_statuses;
    }
    std::vector<std::wstring> Warnings()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_warnings;
    }
    // Forgets what was reported, before the next connection.
    void Forget()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_warnings.clear();
        m_statuses.clear();
    }

private:
    std::mutex m_lock;
    std::vector<int> m_statuses;
    std::vector<std::wstring> m_warnings;
};
