# Who signs the Debian packages and where the project lives: one place for
# the control files, the copyright file and the changelog.
KALPO_MAINTAINER=${KALPO_MAINTAINER:-"Zantrello KALPO team <kalpo@zantrello.com.br>"}
KALPO_HOMEPAGE=${KALPO_HOMEPAGE:-"https://zantrello.com.br/kalpo"}
