#include "quizpack/studio/studio_server.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <thread>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "quizpack/common/quizpack_error.h"
#include "quizpack/studio/routes.h"
#include "quizpack/common/messages.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

constexpr unsigned kMaxHeaderBytes = 16 * 1024;

// The connections being served, so that stopping can end their reads.
class Connections {
  public:
    void add(tcp::socket* socket) {
        std::lock_guard<std::mutex> lock(mutex_);
        sockets_.insert(socket);
    }
    void remove(tcp::socket* socket) {
        std::lock_guard<std::mutex> lock(mutex_);
        sockets_.erase(socket);
    }
    void closeAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        for (tcp::socket* s : sockets_) {
            beast::error_code ec;
            s->shutdown(tcp::socket::shutdown_both, ec);
        }
    }
    bool empty() {
        std::lock_guard<std::mutex> lock(mutex_);
        return sockets_.empty();
    }

  private:
    std::mutex mutex_;
    std::set<tcp::socket*> sockets_;
};

Request requestOf(const http::request<http::string_body>& message) {
    Request request;
    request.method = std::string(message.method_string());
    request.target = std::string(message.target());
    for (const auto& field : message) {
        std::string name(field.name_string());
        for (char& c : name) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
        request.headers[name] = std::string(field.value());
    }
    request.body = message.body();
    return request;
}

http::response<http::string_body> messageOf(const Response& response, unsigned version, bool head) {
    http::response<http::string_body> message{static_cast<http::status>(response.status), version};
    message.set(http::field::server, "quizpack studio");
    for (const auto& h : response.headers) {
        message.set(h.first, h.second);
    }
    if (head) {
        message.content_length(response.body.size());
    } else {
        message.body() = response.body;
        message.prepare_payload();
    }
    return message;
}

void writeRefusal(tcp::socket& socket, int status, const std::string& text) {
    Response r = errorResponse(status, text);
    addCommonHeaders(&r);
    http::response<http::string_body> message = messageOf(r, 11, false);
    message.keep_alive(false);
    beast::error_code ec;
    http::write(socket, message, ec);
}

// One connection: requests read and answered one after the other until either side closes.
void serveConnection(tcp::socket socket, Studio& studio, Connections& connections,
                     asio::io_context& io) {
    connections.add(&socket);
    beast::flat_buffer buffer;
    while (true) {
        http::request_parser<http::string_body> parser;
        parser.header_limit(kMaxHeaderBytes);
        parser.body_limit(kMaxRequestBytes);
        beast::error_code ec;
        http::read(socket, buffer, parser, ec);
        if (ec == http::error::body_limit) {
            writeRefusal(socket, 413, "");
            break;
        }
        if (ec == http::error::header_limit) {
            writeRefusal(socket, 431, "");
            break;
        }
        if (ec) {
            break;
        }
        const http::request<http::string_body>& message = parser.get();
        Response response = handleRequest(requestOf(message), studio);
        http::response<http::string_body> reply =
            messageOf(response, message.version(), message.method() == http::verb::head);
        reply.keep_alive(message.keep_alive());
        http::write(socket, reply, ec);
        if (studio.state.quitRequested()) {
            io.stop();
        }
        if (ec || !reply.keep_alive()) {
            break;
        }
    }
    beast::error_code ec;
    socket.shutdown(tcp::socket::shutdown_send, ec);
    connections.remove(&socket);
}

} // namespace

void serveStudio(StudioState& state, const StudioServerOptions& options,
                 const std::function<void(const std::string& address)>& started) {
    asio::io_context io;
    tcp::acceptor acceptor(io);
    beast::error_code ec;
    tcp::endpoint endpoint(asio::ip::address_v4::loopback(),
                           static_cast<unsigned short>(options.port));
    acceptor.open(endpoint.protocol(), ec);
    if (!ec) {
        acceptor.bind(endpoint, ec);
    }
    if (!ec) {
        acceptor.listen(asio::socket_base::max_listen_connections, ec);
    }
    if (ec) {
        throw QuizpackError(kExitBadInput,
                            tr("cannot listen on 127.0.0.1 port {port}: {reason}\ngive another "
                               "--port, or none for a free one",
                               {{"port", options.port}, {"reason", ec.message()}}));
    }
    Studio studio{StudioAccess{acceptor.local_endpoint().port(), makeStudioToken()}, state};
    Connections connections;
    std::atomic<int> running{0};

    std::function<void()> acceptNext = [&] {
        acceptor.async_accept([&](beast::error_code error, tcp::socket socket) {
            if (error) {
                return; // the acceptor was closed
            }
            ++running;
            std::thread([&, s = std::move(socket)]() mutable {
                serveConnection(std::move(s), studio, connections, io);
                --running;
            }).detach();
            acceptNext();
        });
    };
    acceptNext();
    asio::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](beast::error_code, int) { io.stop(); });

    started("http://127.0.0.1:" + std::to_string(studio.access.port) +
            "/?token=" + studio.access.token);
    io.run();

    // Stopping: no new connection, the open ones closed, the requests under way finished.
    acceptor.close(ec);
    connections.closeAll();
    for (int i = 0; i < 200 && running > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (running > 0) {
        // A connection that does not end holds this function's objects: end the program
        // here rather than free them under it. Files are written whole or not at all.
        std::fflush(nullptr);
        std::_Exit(kExitOk);
    }
}
