#include "hometls.h"

#include <QByteArray>

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <sys/socket.h>

struct HomeTls::Chain {
    EVP_PKEY* rootKey = nullptr;
    X509* root = nullptr;
    EVP_PKEY* leafKey = nullptr;
    X509* leaf = nullptr;
    std::string rootPem;
    ~Chain()
    {
        X509_free(leaf);
        EVP_PKEY_free(leafKey);
        X509_free(root);
        EVP_PKEY_free(rootKey);
    }
};

namespace {

std::string basicCredentials(const std::string& user, const std::string& password)
{
    return "Basic " + QByteArray::fromStdString(user + ":" + password).toBase64().toStdString();
}

bool addExtension(X509* cert, X509* issuer, int nid, const char* value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    if (!ext)
        return false;
    const bool ok = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    return ok;
}

X509* newCertificate(EVP_PKEY* key, long serial, const char* commonName, bool asCamera)
{
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial);
    // A day back: clocks of the camera and the PC differ.
    X509_gmtime_adj(X509_getm_notBefore(cert), -24 * 3600L);
    X509_gmtime_adj(X509_getm_notAfter(cert), 10L * 365 * 24 * 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    if (asCamera) {
        const std::pair<const char*, const char*> fields[] = {
            {"C", "US"}, {"ST", "CA"}, {"L", "San Mateo"}, {"O", "GoPro"}, {"OU", "Hero"}};
        for (const auto& [field, value] : fields)
            X509_NAME_add_entry_by_txt(name, field, MBSTRING_ASC,
                                       reinterpret_cast<const unsigned char*>(value), -1, -1, 0);
    }
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    return cert;
}

} // namespace

HomeTls::HomeTls(std::string address, std::string password)
    : m_address(std::move(address))
    , m_expectedHeader(basicCredentials(kUser, password))
{
}

HomeTls::~HomeTls() = default;

std::shared_ptr<HomeTls::Chain> HomeTls::makeChain(std::string* error) const
{
    static long serial = 1000;
    auto chain = std::make_shared<Chain>();
    chain->rootKey = EVP_RSA_gen(2048);
    chain->leafKey = EVP_RSA_gen(2048);
    if (!chain->rootKey || !chain->leafKey) {
        *error = "cannot make RSA keys";
        return nullptr;
    }
    chain->root = newCertificate(chain->rootKey, ++serial, "GoPro Camera Root", true);
    X509_set_issuer_name(chain->root, X509_get_subject_name(chain->root));
    // As the camera's root: a CA, not marked critical.
    const bool rootOk = addExtension(chain->root, chain->root, NID_basic_constraints, "CA:TRUE,pathlen:0")
        && addExtension(chain->root, chain->root, NID_key_usage, "digitalSignature,keyCertSign,cRLSign")
        && addExtension(chain->root, chain->root, NID_subject_key_identifier, "hash")
        && X509_sign(chain->root, chain->rootKey, EVP_sha256()) > 0;

    chain->leaf = newCertificate(chain->leafKey, ++serial, m_address.c_str(), false);
    X509_set_issuer_name(chain->leaf, X509_get_subject_name(chain->root));
    const std::string san = "IP:" + m_address;
    const bool leafOk = addExtension(chain->leaf, chain->root, NID_basic_constraints, "CA:FALSE")
        && addExtension(chain->leaf, chain->root, NID_key_usage, "digitalSignature,keyEncipherment")
        && addExtension(chain->leaf, chain->root, NID_ext_key_usage, "serverAuth")
        && addExtension(chain->leaf, chain->root, NID_subject_alt_name, san.c_str())
        && addExtension(chain->leaf, chain->root, NID_authority_key_identifier, "keyid")
        && X509_sign(chain->leaf, chain->rootKey, EVP_sha256()) > 0;
    if (!rootOk || !leafOk) {
        *error = "cannot make the certificates";
        return nullptr;
    }
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(bio, chain->root);
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    chain->rootPem.assign(data, size_t(size));
    BIO_free(bio);
    return chain;
}

bool HomeTls::init(std::string* error)
{
    auto chain = makeChain(error);
    if (!chain)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_chain = chain;
    return true;
}

bool HomeTls::switchChain(std::string* error)
{
    return init(error);
}

std::string HomeTls::rootPem() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_chain ? m_chain->rootPem : std::string();
}

int HomeTls::chooseCertificate(SSL* ssl, void* self)
{
    auto* tls = static_cast<HomeTls*>(self);
    std::shared_ptr<Chain> chain;
    {
        std::lock_guard<std::mutex> lock(tls->m_mutex);
        chain = tls->m_chain;
    }
    if (!chain)
        return 0;
    // The SSL object takes references of its own: a later switch frees nothing it uses.
    return SSL_use_certificate(ssl, chain->leaf) == 1 && SSL_use_PrivateKey(ssl, chain->leafKey) == 1
        && SSL_add1_chain_cert(ssl, chain->root) == 1;
}

bool HomeTls::setUp(SSL_CTX& ctx)
{
    SSL_CTX_set_min_proto_version(&ctx, TLS1_2_VERSION);
    SSL_CTX_set_cert_cb(&ctx, &HomeTls::chooseCertificate, this);
    return true;
}

bool HomeTls::authorizes(const std::string& header) const
{
    return header == m_expectedHeader;
}

bool HomeTls::keepConnection(const SSL* ssl) const
{
    if (!ssl)
        return true;
    X509* served = SSL_get_certificate(const_cast<SSL*>(ssl));
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_chain && served && X509_cmp(served, m_chain->leaf) == 0)
            return true;
    }
    // A camera that made a new chain has no connection of the old one left.
    ::shutdown(SSL_get_fd(const_cast<SSL*>(ssl)), SHUT_RDWR);
    return false;
}
