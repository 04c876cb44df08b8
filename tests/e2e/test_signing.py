"""Authenticode signing of packed launchers, done as a new user would: a
throw-away certificate from openssl, osslsigncode to sign and verify. The
certificate table lies behind the payload; the signed launcher still starts
and extracts its payload, and `inspect` reads it. A new build over a signed
launcher, or from a signed stub, carries no stale signature."""
import subprocess

import pytest

from conftest import NO_JRE_FOUND, PACKER, STUB, pack
from payload_support import launch, the_payload_directory

PROJECT = '[payload]\nfiles = ["app.jar"]\nruntime_jar = false\n'
CONTENT = b"PK\x03\x04 a jar in the payload"


@pytest.fixture(scope="module")
def certificate(tmp_path_factory):
    directory = tmp_path_factory.mktemp("signer")
    cert, key = directory / "certificate.pem", directory / "key.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Kestrel test signer", "-keyout", key, "-out", cert],
                   check=True, capture_output=True)
    return cert, key


def sign(exe, certificate, signed):
    cert, key = certificate
    subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-n", "Kestrel test",
                    "-in", exe, "-out", signed], check=True, capture_output=True)
    return signed


def verifies(exe, certificate):
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", certificate[0], "-in", exe],
                            capture_output=True, text=True)
    return result.returncode == 0


def inspect(exe):
    result = subprocess.run([PACKER, "inspect", exe], capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return result.stdout


def starts_and_extracts(tmp_path, exe):
    temp = tmp_path / f"temp-{exe.stem}"
    temp.mkdir()
    run = launch(tmp_path, exe, "-q", temp_dir=temp)
    assert (run.returncode, run.stdout, run.stderr) == (83, NO_JRE_FOUND, "")
    assert (the_payload_directory(temp) / "app.jar").read_bytes() == CONTENT


def test_a_signed_launcher_verifies_starts_and_extracts_its_payload(tmp_path, certificate):
    exe = pack(tmp_path, PROJECT, files={"app.jar": CONTENT})
    signed = sign(exe, certificate, tmp_path / "signed.exe")
    assert verifies(signed, certificate)
    listing = inspect(signed)
    assert "\nsignature: certificate table at offset " in listing
    assert 'payload files: 1\n  "app.jar" ' in listing
    starts_and_extracts(tmp_path, signed)


def test_a_new_build_over_a_signed_launcher_says_the_signature_is_gone(tmp_path, certificate):
    exe = pack(tmp_path, PROJECT, files={"app.jar": CONTENT})
    signed = sign(exe, certificate, tmp_path / "app.exe")
    rebuilt = subprocess.run([PACKER, "build", tmp_path / "project.toml", "-o", signed, "--stub", STUB],
                             capture_output=True, text=True)
    assert rebuilt.returncode == 0, rebuilt.stderr
    assert "\nnote: the signature of the launcher replaced at " in rebuilt.stdout
    assert not verifies(signed, certificate)
    assert inspect(signed).endswith("\nsignature: none\n")
    assert verifies(sign(signed, certificate, tmp_path / "app-signed.exe"), certificate)


def test_a_signed_stub_loses_its_signature_and_the_launcher_is_signed_afresh(tmp_path, certificate):
    signed_stub = sign(STUB, certificate, tmp_path / "signed-stub.exe")
    (tmp_path / "app.jar").write_bytes(CONTENT)
    (tmp_path / "project.toml").write_text(PROJECT)
    exe = tmp_path / "from-signed-stub.exe"
    built = subprocess.run([PACKER, "build", tmp_path / "project.toml", "-o", exe, "--stub", signed_stub],
                           capture_output=True, text=True)
    assert built.returncode == 0, built.stderr
    assert "\nnote: the stub's Authenticode signature was removed" in built.stdout
    assert inspect(exe).endswith("\nsignature: none\n")
    assert exe.read_bytes() == pack(tmp_path, PROJECT, name="from-plain-stub.exe").read_bytes()
    signed = sign(exe, certificate, tmp_path / "signed.exe")
    assert verifies(signed, certificate)
    starts_and_extracts(tmp_path, signed)
