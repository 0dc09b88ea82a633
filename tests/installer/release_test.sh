#!/usr/bin/env bash
# The Windows release as scripts/package makes it from the products of a
# build, signed with a throwaway code-signing certificate made here and
# unsigned: every Windows program of the signed release carries a valid
# SHA-256 signature from that certificate, time-stamped by a local RFC 3161
# server, and still passes the product check; the unsigned release holds the products as built, with no
# signature; a key in a PKCS#11 token (SoftHSM) signs as well; a wrong
# password stops the release; SHA256SUMS and the
# manifests hold (tests/installer/check_manifests.py).
#   tests/installer/release_test.sh BUILD_ROOT OUT_DIR
# Leaves OUT_DIR/signed (the release to install under Wine), OUT_DIR/keys
# (cert.pem, to verify the uninstaller an install writes) and
# OUT_DIR/commands (the managers' command lines, as shell assignments).
# Prints "release-test CASE: ok" or ": FAILED" with what was wrong, one line
# per case; exits non-zero when any failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

[ $# -eq 2 ] || { echo "usage: $0 BUILD_ROOT OUT_DIR" >&2; exit 2; }
build=$(realpath "$1")
out=$2
url='https://releases.example.org/vimbrel/v{version}'
rm -rf "$out"
mkdir -p "$out/keys"
out=$(realpath "$out")
keys="$out/keys"
version=$(cat "$build/mingw64/package/version.txt")
setup="vimbrel-$version-setup.exe"
zip="vimbrel-$version-windows.zip"

test_name=release-test
source "$root/tests/installer/cases.sh"

# A valid Authenticode signature, SHA-256, from the test's certificate.
signed_by_test_key() {  # FILE
  local text
  text=$(osslsigncode verify -CAfile "$keys/cert.pem" -in "$1" 2>&1) || return 1
  grep -q 'Message digest algorithm *: SHA256' <<<"$text" &&
    grep -q 'Subject: .*CN=Vimbrel release test' <<<"$text" &&
    grep -q '^Signature verification: ok' <<<"$text"
}
unsigned() { ! osslsigncode extract-signature -in "$1" -out "$keys/extracted.der" >/dev/null 2>&1; }
# The file with its signature taken off is the unsigned one, byte for byte.
same_unsigned() {  # SIGNED UNSIGNED
  rm -f "$keys/stripped"
  osslsigncode remove-signature -in "$1" -out "$keys/stripped" && cmp "$keys/stripped" "$2"
}
sums_hold() { (cd "$1" && sha256sum -c --quiet SHA256SUMS) && [ "$(wc -l <"$1/SHA256SUMS")" -eq "$2" ]; }
package() {  # OUT ARGUMENTS...
  local dir=$1
  shift
  "$root/scripts/package" --windows "$build" "$dir" --release-url "$url" "$@" >"$dir.log" 2>&1
}

# A throwaway self-signed code-signing certificate and its PKCS#12 file.
password=throwaway-$$
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vimbrel release test" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
  -keyout "$keys/key.pem" -out "$keys/cert.pem" >"$keys/openssl.log" 2>&1 &&
  openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/signer.pfx" \
    -passout "pass:$password" >>"$keys/openssl.log" 2>&1 ||
  { echo "release-test: FAILED 5 cases: openssl could not make a certificate (see $keys/openssl.log)"; exit 1; }

# A time-stamping authority of its own, on this machine
# (tests/installer/timestamp_server.py answering with openssl ts).
mkdir -p "$keys/tsa"
echo 01 >"$keys/tsa/serial"
cat >"$keys/tsa/ts.cnf" <<END
[ tsa_config ]
serial = $keys/tsa/serial
signer_cert = $keys/tsa/tsa.crt
signer_key = $keys/tsa/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
ess_cert_id_alg = sha256
[ tsa ]
default_tsa = tsa_config
END
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vimbrel test time stamps" \
  -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=critical,timeStamping \
  -keyout "$keys/tsa/tsa.key" -out "$keys/tsa/tsa.crt" >>"$keys/openssl.log" 2>&1
python3 "$root/tests/installer/timestamp_server.py" "$keys/tsa/ts.cnf" "$keys/tsa/port" 2>"$keys/tsa/server.log" &
time_stamps=$!
trap 'kill "$time_stamps" 2>/dev/null' EXIT
for _ in $(seq 1 50); do [ -s "$keys/tsa/port" ] && break; sleep 0.1; done
time_stamped() {  # FILE
  osslsigncode verify -CAfile "$keys/cert.pem" -TSA-CAfile "$keys/tsa/tsa.crt" -in "$1" 2>&1 |
    grep -q '^Timestamp Server Signature verification: ok'
}

# Signed and time-stamped: both .scr files in the zip, the installer, and
# the uninstaller makensis stored (read back from an install by the
# installer test).
mkdir -p "$out/signed"
VIMBREL_SIGN_PASSWORD=$password check "scripts/package --sign --timestamp exits with 0" package "$out/signed" \
  --sign "$keys/signer.pfx" --timestamp "http://127.0.0.1:$(cat "$keys/tsa/port" 2>/dev/null)"
mkdir -p "$out/signed/unpacked"
check "the zip unpacks" unzip -q "$out/signed/$zip" -d "$out/signed/unpacked"
for file in vimbrel.scr vimbrel64.scr; do
  check "$file signed" signed_by_test_key "$out/signed/unpacked/$file"
  check "$file passes the product check signed" "$root/scripts/check-products" "$out/signed/unpacked/$file"
done
check "vimbrel.scr unsigned is the build's" same_unsigned "$out/signed/unpacked/vimbrel.scr" "$build/mingw32/vimbrel.scr"
check "vimbrel64.scr unsigned is the build's" same_unsigned "$out/signed/unpacked/vimbrel64.scr" "$build/mingw64/vimbrel64.scr"
check "the zip's SHA256SUMS holds" sums_hold "$out/signed/unpacked" 3
check "the installer signed" signed_by_test_key "$out/signed/$setup"
for file in "unpacked/vimbrel.scr" "unpacked/vimbrel64.scr" "$setup"; do
  check "${file#unpacked/} time-stamped" time_stamped "$out/signed/$file"
done
check "the installer passes the product check signed" "$root/scripts/check-products" "$out/signed/$setup"
check "SHA256SUMS holds for the zip and the installer" sums_hold "$out/signed" 2
report "signed release"

# Unsigned, with a key left in the environment: the products as built, no
# signature anywhere, the installer as make-installer makes it.
mkdir -p "$out/unsigned" "$out/plain"
VIMBREL_SIGN_PFX=$keys/signer.pfx VIMBREL_SIGN_PASSWORD=$password check "scripts/package exits with 0" package "$out/unsigned"
mkdir -p "$out/unsigned/unpacked"
check "the zip unpacks" unzip -q "$out/unsigned/$zip" -d "$out/unsigned/unpacked"
check "vimbrel.scr as built" cmp "$out/unsigned/unpacked/vimbrel.scr" "$build/mingw32/vimbrel.scr"
check "vimbrel64.scr as built" cmp "$out/unsigned/unpacked/vimbrel64.scr" "$build/mingw64/vimbrel64.scr"
check "the installer unsigned" unsigned "$out/unsigned/$setup"
check "make-installer" "$root/scripts/make-installer" "$build" "$out/plain"
check "the installer as make-installer makes it" cmp "$out/unsigned/$setup" "$out/plain/$setup"
report "unsigned release unchanged"

# A key in a token, as a hardware key or a signing service's module gives
# it: SoftHSM's, with the test key imported, through PKCS#11.
export SOFTHSM2_CONF="$keys/softhsm2.conf"
mkdir -p "$keys/tokens" "$out/token"
printf 'directories.tokendir = %s\nobjectstore.backend = file\nlog.level = ERROR\n' "$keys/tokens" >"$SOFTHSM2_CONF"
module=/usr/lib/softhsm/libsofthsm2.so
if [ -f "$module" ] && command -v softhsm2-util >/dev/null; then
  check "a token made" softhsm2-util --init-token --free --label vimbrel-test --pin 2468 --so-pin 1357
  check "the key imported" eval "openssl pkcs8 -topk8 -nocrypt -in '$keys/key.pem' -out '$keys/key8.pem' &&
    softhsm2-util --import '$keys/key8.pem' --token vimbrel-test --label signer --id 01 --pin 2468"
  VIMBREL_SIGN_PASSWORD=2468 check "scripts/package --pkcs11 exits with 0" package "$out/token" \
    --pkcs11 "$module" --key 'pkcs11:token=vimbrel-test;object=signer;type=private' --cert "$keys/cert.pem"
  mkdir -p "$out/token/unpacked"
  check "the zip unpacks" unzip -q "$out/token/$zip" -d "$out/token/unpacked"
  check "vimbrel.scr signed" signed_by_test_key "$out/token/unpacked/vimbrel.scr"
  check "vimbrel64.scr signed" signed_by_test_key "$out/token/unpacked/vimbrel64.scr"
  check "the installer signed" signed_by_test_key "$out/token/$setup"
else
  problems+=("no SoftHSM here (Debian: softhsm2, libengine-pkcs11-openssl; scripts/setup installs them)")
fi
report "signed through PKCS#11"

# A wrong password: a non-zero exit, one line saying so, no installer.
mkdir -p "$out/wrong"
check "a wrong password fails" eval "! VIMBREL_SIGN_PASSWORD=wrong package '$out/wrong' --sign '$keys/signer.pfx'"
check "and says why in one line" grep -qx "sign-windows-program: signing vimbrel.scr failed: .*Wrong password.*" "$out/wrong.log"
check "no other line" test "$(wc -l <"$out/wrong.log")" -eq 1
check "no installer" test ! -e "$out/wrong/$setup"
check "no zip" test ! -e "$out/wrong/$zip"
report "a wrong password stops the release"

# The manifests, against the address given once.
python3 "$root/tests/installer/check_manifests.py" "$out/signed" "${url//\{version\}/$version}" >"$out/manifests.log" 2>&1
grep -E "^[a-z_]+='" "$out/manifests.log" >"$out/commands"
if grep -q ': FAILED' "$out/manifests.log" || [ ! -s "$out/commands" ]; then
  problems+=("$(grep -vE "^[a-z_]+='" "$out/manifests.log" | grep -v ': ok$' | tr '\n' ' ')")
fi
report "manifests for winget, Scoop and Chocolatey"

[ "$failures" -eq 0 ]
