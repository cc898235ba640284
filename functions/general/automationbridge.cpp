#include "functions/general/automationbridge.h"

#include "functions/general/automationclient.h"
#include "functions/general/variantvalue.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

IAutomationClient* gClient = nullptr;

void SetEmptyError(FormulaToken& value, FormulaError error) {
    ClearOperand(value);
    value.type = kTokenEmpty;
    value.error = error;
}

// The object of one call, released on every path.
class CServerObject {
public:
    CServerObject(IAutomationClient* client, const std::string& progId, uint32_t recalculation)
        : client_(client) {
        created_ =
            client_ && Succeeded(client_->CreateObject(Cp1252ToUtf8(progId), recalculation, id_));
    }
    ~CServerObject() {
        if (created_) client_->Release(id_);
    }
    CServerObject(const CServerObject&) = delete;
    CServerObject& operator=(const CServerObject&) = delete;

    bool Created() const { return created_; }
    IAutomationClient& Client() { return *client_; }
    uint64_t Id() const { return id_; }

private:
    IAutomationClient* client_;
    uint64_t id_ = 0;
    bool created_ = false;
};

} // namespace

void SetAutomationClient(IAutomationClient* client) {
    gClient = client;
}

IAutomationClient* GetAutomationClient() {
    return gClient;
}

bool CPropertyColumn::Add(const CVariant& reply) {
    if (error) return false;
    FormulaToken element;
    VariantToValue(ctx_, reply, element);
    const uint32_t row = rows_++;
    if (element.type == kTokenArray) {
        ReleaseOperand(ctx_, element);
        error = kErrRef;
        return false;
    }
    if (element.type == kTokenEmpty && element.error == 0) return true;
    if (!builder_.Put(0, row, element)) {
        error = kErrMemory;
        return false;
    }
    return true;
}

void CPropertyColumn::Finish(FormulaToken& value) {
    if (error) return SetEmptyError(value, error);
    ClearOperand(value);
    // A column of empty properties has no stored element at all.
    PushArrayValue(ctx_, value, builder_.Detach(), 1, rows_);
}

void CallRtdServer(CEvalContext& ctx, const std::string& progId,
                   const std::vector<std::string>& topics, FormulaToken& value) {
    CServerObject object(gClient, progId, ctx.recalculation);
    if (!object.Created()) return SetEmptyError(value, kErrRef);
    CVariant reply;
    if (topics.size() == 1) {
        if (Failed(object.Client().GetProperty(object.Id(), Cp1252ToUtf8(topics[0]), reply)))
            return SetEmptyError(value, kErrRef);
        return VariantToValue(ctx, reply, value);
    }
    CPropertyColumn column(ctx);
    for (const std::string& topic : topics) {
        reply = CVariant{};
        if (Failed(object.Client().GetProperty(object.Id(), Cp1252ToUtf8(topic), reply)))
            column.error = kErrRef;
        if (!column.Add(reply)) break;
    }
    column.Finish(value);
}

void CallUdfMethod(CEvalContext& ctx, const std::string& progId, const std::string& method,
                   std::span<const CVariant> arguments, FormulaToken& value) {
    CServerObject object(gClient, progId, ctx.recalculation);
    if (!object.Created()) return SetEmptyError(value, kErrRef);
    CVariant reply;
    if (Failed(object.Client().CallMethod(object.Id(), Cp1252ToUtf8(method), arguments, reply)))
        return SetEmptyError(value, kErrRef);
    VariantToValue(ctx, reply, value);
}

} // namespace vl
