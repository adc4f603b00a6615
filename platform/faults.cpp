#include "platform/faults.h"

#include <vector>

namespace {

struct Fault {
    std::string call;
    HRESULT result;
    int skip;
    int times;
};

std::vector<Fault> faults;

}  // namespace

void InjectFault(const std::string& call, HRESULT result, int skip, int times) {
    faults.push_back({call, result, skip, times});
}

void ClearFaults() { faults.clear(); }

bool TakeFault(const char* call, HRESULT* result) {
    if (faults.empty()) return false;
    for (auto it = faults.begin(); it != faults.end(); ++it) {
        if (it->call != call) continue;
        if (it->skip > 0) {
            it->skip--;
            return false;
        }
        *result = it->result;
        if (it->times > 0 && --it->times == 0) faults.erase(it);
        return true;
    }
    return false;
}
