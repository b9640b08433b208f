#pragma once

// What the simulated module's MMS client and RAM file system remember: the
// settings of AT+JMMSCFG, the message being composed with AT+JMMSEDIT, the
// files uploaded with AT+JFUPL and the messages AT+JMMSEND sent.

#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace ulv::sim {

struct MmsMessage {
    std::vector<std::string> to;
    std::vector<std::string> cc;
    std::vector<std::string> bcc;
    std::string title;
    std::vector<std::string> attachments; // RAM names, without "RAM:"
};

struct SentMms {
    MmsMessage message;
    std::map<std::string, std::string> files; // each attachment's contents when it was sent
    std::map<std::string, std::string> config;
};

struct MmsState {
    // The RAM file system: name (after "RAM:") to contents.
    std::map<std::string, std::string> ram;
    // AT+JMMSCFG settings by name: "contextid" "1", "mmsc" the URL, "proxy"
    // "address,port", "sendparam" its six values, "character" the set last given.
    std::map<std::string, std::string> config;
    MmsMessage message;
    std::vector<SentMms> sent;

    // The code "+JMMSEND:" reports (0: sent).
    int sendResult = 0;
    // A short upload: the module takes at most this many bytes of an upload,
    // reports what it took and leaves the rest to the command line.
    std::size_t uploadLimit = std::numeric_limits<std::size_t>::max();
    // The largest file the RAM file system takes.
    std::size_t ramCapacity = 8u << 20;

    // The upload in progress (after CONNECT).
    bool uploading = false;
    std::string uploadName;
    std::size_t uploadLeft = 0;
    std::string uploadData;
};

} // namespace ulv::sim
