# Runs after every file action that ended without being cancelled.
#
# As shipped it does nothing. To be told by mail, fill in the settings below and set
# SEND_MAIL = True.

import sys

SEND_MAIL = False
SMTP_HOST = "localhost"
SMTP_PORT = 587
SMTP_USER = ""
SMTP_PASSWORD = ""
MAIL_FROM = "vesk@localhost"
MAIL_TO = "editor@localhost"


def send_mail():
    import smtplib
    from email.message import EmailMessage

    message = EmailMessage()
    message["Subject"] = "Vesk: file action completed"
    message["From"] = MAIL_FROM
    message["To"] = MAIL_TO
    message.set_content("A Vesk file action has completed. Its log is in the action queue.")
    with smtplib.SMTP(SMTP_HOST, SMTP_PORT, timeout=30) as server:
        server.starttls()
        if SMTP_USER:
            server.login(SMTP_USER, SMTP_PASSWORD)
        server.send_message(message)


if SEND_MAIL:
    try:
        send_mail()
    except Exception as error:
        print("Vesk: the mail could not be sent:", error, file=sys.stderr)
