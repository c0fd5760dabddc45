#pragma once

namespace CVClientData {
class WebDataService;
}

namespace CVCoreDataServices {

// The base of the services over the one web service: it holds the reference.
// A service holds nothing else and may be made on the stack where needed.
class BaseService {
public:
    explicit BaseService(CVClientData::WebDataService& service) : mWebDataService(service) {}
    ~BaseService() = default;

    BaseService(const BaseService&) = delete;
    BaseService& operator=(const BaseService&) = delete;

protected:
    CVClientData::WebDataService& mWebDataService;
};

}  // namespace CVCoreDataServices
