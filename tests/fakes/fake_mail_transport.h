// A mail transport that sends nothing: it records each mail and article and answers a set
// outcome, for the failures a real server cannot be made to produce on demand.
#pragma once

#include <string>
#include <vector>

#include "platform/mail_transport.h"

namespace vx::test {

class FakeMailTransport final : public platform::MailTransport {
 public:
  platform::TransferOutcome SendMail(const platform::TransferSettings& settings,
                                     const platform::MailEnvelope& envelope,
                                     const std::string& message) override {
    hosts.push_back(settings.host);
    envelopes.push_back(envelope);
    messages.push_back(message);
    return outcome;
  }
  platform::TransferOutcome PostArticle(const platform::TransferSettings& settings,
                                        const std::string& article) override {
    hosts.push_back(settings.host);
    messages.push_back(article);
    return outcome;
  }

  platform::TransferOutcome outcome;  // what every call answers
  std::vector<std::string> hosts;
  std::vector<platform::MailEnvelope> envelopes;
  std::vector<std::string> messages;
};

}  // namespace vx::test
