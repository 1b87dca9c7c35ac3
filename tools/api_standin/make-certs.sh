#!/usr/bin/env bash
# Makes the stand-in's certificates: a test CA (the test harness trusts it), a server certificate
# from it for 127.0.0.1 only (as an IP address and, for
# Wine's name check, which reads only DNS names, as a DNS name), and a "rogue" CA and server certificate that nothing trusts.
# usage: make-certs.sh <folder>
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"
[ -f ca.der ] && [ -f server.pem ] && [ -f rogue.pem ] && exit 0
make_ca() {  # name subject
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.pem" -days 3650 -subj "$2" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
make_server() {  # name ca
  openssl req -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" -subj "/CN=127.0.0.1" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' > "$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$2.pem" -CAkey "$2.key" -CAcreateserial -out "$1.pem" -days 3650 \
    -extfile "$1.ext" 2>/dev/null
}
make_ca ca "/CN=Tovik Test CA"
make_server server ca
make_ca rogueca "/CN=Untrusted Test CA"
make_server rogue rogueca
openssl x509 -in ca.pem -outform der -out ca.der
