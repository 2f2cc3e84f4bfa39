#include "StampantePredefinita.h"

#include <future>
#include <memory>
#include <thread>

std::optional<QPrinterInfo> stampantePredefinita(std::chrono::milliseconds attesa)
{
    // The promise is shared with the lookup thread, which may outlive this call.
    auto promessa = std::make_shared<std::promise<QPrinterInfo>>();
    std::future<QPrinterInfo> esito = promessa->get_future();
    std::thread([promessa] { promessa->set_value(QPrinterInfo::defaultPrinter()); }).detach();

    if (esito.wait_for(attesa) != std::future_status::ready)
        return std::nullopt;
    QPrinterInfo info = esito.get();
    if (info.isNull())
        return std::nullopt;
    return info;
}
