// An events client that records what reaches it (name, first argument's value
// when it is an int, thread) and answers through a handler the test sets.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "EventArgData.h"
#include "EventsClient.h"

class CRecordingClient final : public CEventsClient {
public:
    struct Delivery {
        JOV_GUID sender;
        std::wstring name;
        int value;  // the first argument's int, or -1
        bool hasArg1;
        bool hasArg2;
        DWORD threadId;
    };
    using Handler = std::function<int(const CJOVString& name, CEventArg* arg1, CEventArg* arg2)>;

    explicit CRecordingClient(Handler handler = nullptr) : m_handler(std::move(handler)) {}

    int OnEvent(const JOV_GUID& sender, const CJOVString& name, CEventArg* arg1, CEventArg* arg2) override
    {
        auto* data = dynamic_cast<CEventArg_Data<int>*>(arg1);
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_deliveries.push_back(Delivery{sender, std::wstring(name.Data(), name.GetLength()),
                                            data ? data->m_data : -1, arg1 != nullptr, arg2 != nullptr,
                                            GetCurrentThreadId()});
        }
        return m_handler ? m_handler(name, arg1, arg2) : 0;
    }

    void SetHandler(Handler handler) { m_handler = std::move(handler); }

    std::vector<Delivery> Deliveries()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_deliveries;
    }

    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const Delivery& d : Deliveries())
            names.push_back(d.name);
        return names;
    }

private:
    Handler m_handler;
    std::mutex m_lock;
    std::vector<Delivery> m_deliveries;
};
