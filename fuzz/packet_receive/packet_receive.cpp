// Fuzz target: the packet socket's receive fed an arbitrary byte stream over loopback, checked
// against a model of the framing. The first input byte says how the stream is cut into writes
// (low seven bits: bytes per write, less one) and whether the writer hangs up at the end (high
// bit); the rest is the stream.
#include "tangram/win32/simple_socket.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using tangram::win32::simple_socket;
using tangram::win32::simple_socket_disconnect_error;
using tangram::win32::simple_socket_error;
using tangram::win32::simple_socket_timeout_error;

// Long enough never to run out on a loaded machine; a packet that has all arrived comes at once.
const int arrivalTimeoutMs = 10000;
const size_t headerSize = 4;

void require(bool condition) {
  if (!condition) std::abort();
}

// What receive() should give for the stream written so far: each whole packet's payload, or the
// refusal of an oversized header (whose payload then reads as the next header).
class FramingModel {
 public:
  std::vector<std::string> feed(const std::string& bytes) {
    pending_ += bytes;
    std::vector<std::string> outcomes;
    for (;;) {
      if (pending_.size() < headerSize) return outcomes;
      uint32_t length = 0;
      for (size_t i = 0; i < headerSize; ++i) {
        length = (length << 8) | static_cast<unsigned char>(pending_[i]);
      }
      if (length > simple_socket::max_receive_payload) {
        outcomes.push_back("simple_socket::receive: Invalid packet size (given " +
                           std::to_string(static_cast<int32_t>(length)) + ")");
        pending_.erase(0, headerSize);
        continue;
      }
      if (pending_.size() < headerSize + length) return outcomes;
      outcomes.push_back(pending_.substr(headerSize, length));
      pending_.erase(0, headerSize + length);
    }
  }

  /// The disconnection receive() reports when the writer hangs up now.
  std::string hangUpMessage() const {
    return pending_.size() < headerSize
               ? "simple_socket::receive: socket was disconnected while reading header."
               : "simple_socket::receive: socket was disconnected while reading data.";
  }

 private:
  std::string pending_;
};

// receive() on the receiving end: the payload, or the error's text.
std::string receiveOutcome(simple_socket& receiver) {
  try {
    return receiver.receive(arrivalTimeoutMs);
  } catch (const simple_socket_timeout_error&) {
    std::abort();  // the model says this packet has arrived in full
  } catch (const simple_socket_error& error) {
    return error.what();
  }
}

// The listening end keeps listening between inputs, so that a run does not use up ports.
class Loopback {
 public:
  Loopback() { listen(); }

  /// A fresh connection: the writer's end, with the receiver accepted.
  std::unique_ptr<simple_socket> connectWriter() {
    if (!receiver_->is_listening()) listen();  // a hang-up closed the listener with the connection
    auto writer = std::make_unique<simple_socket>();
    writer->connect("127.0.0.1", receiver_->listening_port());
    receiver_->wait_for_connect(arrivalTimeoutMs, false);
    return writer;
  }

  simple_socket& receiver() { return *receiver_; }

 private:
  void listen() {
    receiver_ = std::make_unique<simple_socket>();
    receiver_->start_listen(0, true);
  }

  std::unique_ptr<simple_socket> receiver_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Kept below what loopback buffers hold, since one thread both writes and reads.
  if (size < 1 || size > 65536) return 0;
  static Loopback loopback;
  const size_t chunk = (data[0] & 0x7F) + 1u;
  const bool hangUp = (data[0] & 0x80) != 0;
  const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);

  std::unique_ptr<simple_socket> writer = loopback.connectWriter();
  simple_socket& receiver = loopback.receiver();
  FramingModel model;
  for (size_t at = 0; at < stream.size(); at += chunk) {
    const std::string piece = stream.substr(at, chunk);
    writer->send_raw(piece);
    for (const std::string& expected : model.feed(piece)) {
      require(receiveOutcome(receiver) == expected);
    }
    // Nothing more is whole yet: a poll must time out and keep what has come in.
    try {
      receiver.receive(0);
      std::abort();
    } catch (const simple_socket_timeout_error&) {
    }
    require(receiver.is_connected());
  }

  if (hangUp) {
    writer->close(true);
    try {
      receiver.receive(arrivalTimeoutMs);
      std::abort();
    } catch (const simple_socket_disconnect_error& error) {
      require(error.what() == model.hangUpMessage());
    }
    require(!receiver.is_connected());
  } else {
    receiver.close(false);
  }
  return 0;
}
