// GET /: the panel, its script and style built into the program.  The
// panel takes the token from the address's fragment (#token=...), which a
// browser never sends: an old address with ?token= is sent on to it.
#include "serve/panel_files.h"
#include "serve/service.h"

namespace kt::serve {

Response panel_file(const Request &r, const std::string &token) {
  Response response;
  const std::string path = r.path();
  if (path == "/" && r.has_query("token")) {
    if (!same_secret(r.query("token"), token)) {
      response.status = 401;
      response.type = "text/plain; charset=utf-8";
      response.body = "The token is wrong: open the address that kalpo serve printed.\n";
      return response;
    }
    // The token stays in the query as given: letters, digits and -._~+/=.
    response.status = 303;
    response.headers = {
        {"Location", "/#token=" + r.query("token")}, {"Referrer-Policy", "no-referrer"}, {"Cache-Control", "no-store"}};
    return response;
  }
  for (const PanelFile &file : kPanelFiles) {
    if (file.path != path) continue;
    response.type = std::string(file.type);
    response.body = std::string(file.data);
    // Nothing from elsewhere: the panel works without a network.
    response.headers = {{"Content-Security-Policy",
                         "default-src 'self'; img-src 'self' data:; frame-ancestors 'none'; base-uri 'none'; "
                         "form-action 'none'"},
                        {"X-Content-Type-Options", "nosniff"},
                        {"Referrer-Policy", "no-referrer"},
                        {"Cache-Control", "no-cache"}};
    return response;
  }
  return error_response(404, "no such path: " + path);
}

}  // namespace kt::serve
