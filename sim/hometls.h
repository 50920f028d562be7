#pragma once

#include <memory>
#include <mutex>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

// The camera on the home network: the certificate chain it makes for itself (a root
// "GoPro Camera Root", CA:TRUE pathlen:0 non-critical as the camera's is, and a leaf for its
// address with that IP as subject alternative name) and the Basic credentials every request
// must carry. Another chain can replace the first (a camera that was reset makes a new root
// of the same name): connections made under the old one are dropped then.
class HomeTls
{
public:
    // The user name the camera asks for; the password is its own.
    static constexpr const char* kUser = "gopro";

    HomeTls(std::string address, std::string password);
    ~HomeTls();

    // Makes the first chain; false (and why) when OpenSSL cannot.
    bool init(std::string* error);
    // Installs the certificate choice on the server's context: each handshake gets the chain
    // in force at that moment.
    bool setUp(SSL_CTX& ctx);
    // Makes and puts in force another chain.
    bool switchChain(std::string* error);
    // PEM of the root in force.
    std::string rootPem() const;

    // True when header is the camera's own Basic credentials.
    bool authorizes(const std::string& header) const;
    // False for a connection made under a chain no longer in force; it is shut then.
    bool keepConnection(const SSL* ssl) const;

private:
    struct Chain;
    std::shared_ptr<Chain> makeChain(std::string* error) const;
    static int chooseCertificate(SSL* ssl, void* self);

    std::string m_address;
    std::string m_expectedHeader;
    mutable std::mutex m_mutex;
    std::shared_ptr<Chain> m_chain;
};
