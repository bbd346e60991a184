// A certificate authority made at test time, and a server certificate from
// it for "localhost" only.
#pragma once
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/scratch.h"

namespace nettest {

class TestCa {
 public:
  TestCa() {
    const std::string d = dir_.path();
    std::ofstream(d + "/ext.cnf") << "subjectAltName=DNS:localhost\n";
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
    const std::string cmd = "cd " + d + " && openssl req -x509" + key + "-keyout ca.key -out ca.pem -days 2 -subj /CN=CA-teste" +
                            " && openssl req" + key + "-keyout srv.key -out srv.csr -subj /CN=localhost" +
                            " && openssl x509 -req -in srv.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out srv.pem" +
                            " -days 2 -extfile ext.cnf";
    ok_ = std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
  }
  bool ok() const { return ok_; }
  // ca.pem, srv.pem and srv.key.
  std::string file(const std::string& name) const { return dir_ / name; }

 private:
  testsupport::ScratchDir dir_;
  bool ok_ = false;
};

}  // namespace nettest
