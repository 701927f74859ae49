#!/usr/bin/env bash
# Signs the media with a throwaway certificate made here and checks it as a
# customer's machine would: the signature (SHA-256) verifies against that
# certificate, the signed Setup.exe still passes every check of the program
# file, and it is the one on the disc and in the ZIP.
#
#   signature.sh <source folder> <stage folder> <work folder> <version> <epoch> <media file>...
set -euo pipefail
src="$1" stage="$2" work="$3" version="$4" epoch="$5"
shift 5

rm -rf "$work"
mkdir -p "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Keyvandor throwaway signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
python3 "$src/tools/release/make_media.py" --stage "$stage" --work "$work/tree" --out "$work/out" \
  --version "$version" --epoch "$epoch" --sign-cert "$work/cert.pem" --sign-key "$work/key.pem" "$@"

osslsigncode verify -CAfile "$work/cert.pem" -in "$work/out/Setup.exe" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log"; echo "FAIL osslsigncode verify"; exit 1; }
grep -E "^(Message digest algorithm *:|Signature verification|Succeeded)" "$work/verify.log"
grep -q "^Message digest algorithm *: SHA256" "$work/verify.log" || { echo "FAIL not signed with SHA-256"; exit 1; }
python3 "$src/tests/pe/check_pe.py" "$work/out/Setup.exe" "$version"
python3 "$src/tests/release/check_media.py" "$work/out" "$version" "$@"
rm -rf "$work"
