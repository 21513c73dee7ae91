<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="nb_NO">
<context>
    <name>Localizable</name>
    <message>
        <source>En feil oppsto under lagring av kontakten!</source>
        <translation>An error occurred while saving the contact!</translation>
    </message>
    <message>
        <source>Import problem</source>
        <translation>Import problem</translation>
    </message>
    <message>
        <source>Telefon</source>
        <translation>Phone</translation>
    </message>
    <message>
        <source>Påkrevd</source>
        <translation>Required</translation>
    </message>
    <message>
        <source>Firma</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>Hjemmeside</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Ditt navn</source>
        <translation>Your name</translation>
    </message>
    <message>
        <source>Kommentar</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Legg til ny</source>
        <translation>Add new</translation>
    </message>
    <message>
        <source>Legg til telefonnummer</source>
        <translation>Add phone number</translation>
    </message>
    <message>
        <source>Ukjent</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Du må fylle inn nummer som har minimum 4 tall!</source>
        <translation>Please enter a number of at least 4 digits!</translation>
    </message>
    <message>
        <source>Din kontakt</source>
        <translation>Your contact</translation>
    </message>
    <message>
        <source>Legger til kontakten i addresseboken din!</source>
        <translation>Adding the contact to your address book!</translation>
    </message>
    <message>
        <source>Oppdaterer telefonnummerlisten</source>
        <translation>Updating the phone number list</translation>
    </message>
    <message>
        <source>Telefonnummerlisten er oppdatert</source>
        <translation>The phone number list is up to date</translation>
    </message>
    <message>
        <source>Det finnes ingen nummer klare for importering, oppdatering av databasen starter!</source>
        <translation>There are no numbers ready to import, so the list is being updated!</translation>
    </message>
    <message>
        <source>Ringeplagvern appen har ikke tilgang til din addressebok, vennligst skru på tilgangen i innstillingene på telefonen og prøv igjen!</source>
        <translation>The Ringeplagvern app has no access to your address book. Please turn access on in your phone&apos;s settings and try again!</translation>
    </message>
    <message>
        <source>Starter importering av ringeplagvernkontakten</source>
        <translation>Starting to import the Ringeplagvern contact</translation>
    </message>
    <message>
        <source>Fjerner ringeplagvernkontakten fra din adressebok</source>
        <translation>Removing the Ringeplagvern contact from your address book</translation>
    </message>
    <message>
        <source>Ringeplagvernkontakten blir lagret, dette kan ta litt tid...</source>
        <translation>Saving the Ringeplagvern contact, this may take a while...</translation>
    </message>
    <message>
        <source>Importerer %d av %d nummer</source>
        <translation>Importing %d of %d numbers</translation>
    </message>
    <message>
        <source>Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!</source>
        <translation>The Ringeplagvern contact is saved in your address book. You are protected!</translation>
    </message>
    <message>
        <source>Fjernet ringeplagvernkontakten fra din adressebok</source>
        <translation>Removed the Ringeplagvern contact from your address book</translation>
    </message>
    <message>
        <source>Kunne ikke fjerne ringeplagvernkontakten, vennligst sjekk rettighetene til Ringeplagvern applikasjonen under innstillingene på telefonen</source>
        <translation>Could not remove the Ringeplagvern contact. Please check the Ringeplagvern app&apos;s permissions in your phone&apos;s settings</translation>
    </message>
    <message>
        <source>Søker i %d nummer</source>
        <translation>Searching %d numbers</translation>
    </message>
    <message>
        <source>Din adressebok inneholder %d telefonselgere/markedsundersøkere</source>
        <translation>Your address book holds %d telemarketers/market researchers</translation>
    </message>
    <message>
        <source>Ingen kategori</source>
        <translation>No category</translation>
    </message>
    <message>
        <source>Telefonnummer</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>Ringeplagvern</source>
        <translation>Ringeplagvern</translation>
    </message>
    <message>
        <source>Beskytt meg</source>
        <translation>Protect me</translation>
    </message>
    <message>
        <source>Legg til nytt nummer</source>
        <translation>Add new number</translation>
    </message>
    <message>
        <source>Trykk ovenfor og skriv inn nummer for å søke</source>
        <translation>Tap above and type a number to search</translation>
    </message>
    <message>
        <source>Avbryt</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Fortsett</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>Det vil bli lagt inn en kontakt med ringeplagvernnumre i din adressebok</source>
        <translation>A contact with the Ringeplagvern numbers will be added to your address book</translation>
    </message>
    <message>
        <source>Ingen nummer spesifisert</source>
        <translation>No number given</translation>
    </message>
    <message>
        <source>%@, %@</source>
        <translation>%@, %@</translation>
    </message>
    <message>
        <source>Ingen treff</source>
        <translation>No match</translation>
    </message>
    <message>
        <source>%@, Søkte med kopiert nummer</source>
        <translation>%@, Searched for the copied number</translation>
    </message>
    <message>
        <source>Søk</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Importer også nummer som ikke er godkjent</source>
        <translation>Also import numbers that are not approved</translation>
    </message>
    <message>
        <source>Innstillinger</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>%@ v%@ (build %@)</source>
        <translation>%@ v%@ (build %@)</translation>
    </message>
    <message>
        <source>Her kan du overstyre antall nummer som skal importeres til din adressebok! Alle numre er rangert etter antall søk globalt.</source>
        <translation>Here you can choose how many numbers go into your address book! All numbers are ranked by searches worldwide.</translation>
    </message>
    <message>
        <source>Importer alle</source>
        <translation>Import all</translation>
    </message>
    <message>
        <source>%d</source>
        <translation>%d</translation>
    </message>
    <message>
        <source>Antall tlfnummer som importeres</source>
        <translation>Phone numbers to import</translation>
    </message>
    <message>
        <source>Kunne ikke legge inn nye nummer</source>
        <translation>Could not add the new numbers</translation>
    </message>
    <message>
        <source>Kunne ikke lagre den nye nummerlisten</source>
        <translation>Could not save the new number list</translation>
    </message>
    <message>
        <source>Forespørselen ble avbrutt.</source>
        <translation>The request was cancelled.</translation>
    </message>
    <message>
        <source>Nettadressen er ugyldig.</source>
        <translation>The web address is not valid.</translation>
    </message>
    <message>
        <source>Tidsavbrudd: tjeneren svarte ikke i tide.</source>
        <translation>Timed out: the server did not answer in time.</translation>
    </message>
    <message>
        <source>Nettadressen støttes ikke.</source>
        <translation>The web address is not supported.</translation>
    </message>
    <message>
        <source>Fant ingen tjener med dette navnet.</source>
        <translation>No server with this name was found.</translation>
    </message>
    <message>
        <source>Kunne ikke koble til tjeneren.</source>
        <translation>Could not connect to the server.</translation>
    </message>
    <message>
        <source>Nettverksforbindelsen ble brutt.</source>
        <translation>The network connection was lost.</translation>
    </message>
    <message>
        <source>Det ser ut til at du ikke er koblet til Internett.</source>
        <translation>It looks like you are not connected to the Internet.</translation>
    </message>
    <message>
        <source>Tjeneren ga et ugyldig svar.</source>
        <translation>The server gave an invalid answer.</translation>
    </message>
    <message>
        <source>Det oppstod en feil i den sikre forbindelsen til tjeneren.</source>
        <translation>An error occurred in the secure connection to the server.</translation>
    </message>
    <message>
        <source>Svaret fra tjeneren er for stort.</source>
        <translation>The server&apos;s answer is too large.</translation>
    </message>
    <message>
        <source>Det oppstod en ukjent nettverksfeil.</source>
        <translation>An unknown network error occurred.</translation>
    </message>
    <message>
        <source>Tjeneren svarte med feilkode %d.</source>
        <translation>The server answered with error code %d.</translation>
    </message>
    <message>
        <source>Ferdig</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Lukk</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Nummeret er lagret, men kunne ikke legges til i ringeplagvernkontakten</source>
        <translation>The number is saved, but could not be added to the Ringeplagvern contact</translation>
    </message>
    <message>
        <source>Nummeret er lagt til i ringeplagvernkontakten</source>
        <translation>The number is added to the Ringeplagvern contact</translation>
    </message>
    <message>
        <source>Lagret %@ (%@)</source>
        <translation>Saved %@ (%@)</translation>
    </message>
    <message>
        <source>add tar NUMMER og eventuelt FIRMA og ADRESSE</source>
        <translation>add takes NUMBER and optionally COMPANY and ADDRESS</translation>
    </message>
    <message>
        <source>Se «%@ --help».</source>
        <translation>See “%@ --help”.</translation>
    </message>
    <message>
        <source>Ingen kommando gitt</source>
        <translation>No command given</translation>
    </message>
    <message>
        <source>Ukjent kommando «%@»</source>
        <translation>Unknown command “%@”</translation>
    </message>
    <message>
        <source>Ringeplagvernkontakten kan ikke lagres i adresseboken din. Adresseboken må ha en lokal kilde (ikke bare en Exchange-konto), og Ringeplagvern må ha tilgang til den.</source>
        <translation>The Ringeplagvern contact cannot be saved in your address book. The address book needs a local source (not only an Exchange account), and Ringeplagvern needs access to it.</translation>
    </message>
    <message>
        <source>ukjent</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Ringeplagvern skriver allerede i listen og kontakten (prosess %@); avslutt programmet og prøv igjen. Låsfil: %@</source>
        <translation>Ringeplagvern is already writing the list and the contact (process %@); close the application and try again. Lock file: %@</translation>
    </message>
    <message>
        <source>Avbrutt</source>
        <translation>Interrupted</translation>
    </message>
    <message>
        <source>protect tar on eller off</source>
        <translation>protect takes on or off</translation>
    </message>
    <message>
        <source>Telefonnummerlisten er ikke utløpt; ingen nedlasting</source>
        <translation>The phone number list has not expired; nothing downloaded</translation>
    </message>
    <message>
        <source>refresh tar bare valget --if-expired</source>
        <translation>refresh takes only the option --if-expired</translation>
    </message>
    <message>
        <source>Antall nummer som importeres: alle</source>
        <translation>Numbers to import: all</translation>
    </message>
    <message>
        <source>Antallet må være 100, 200, 300 ... eller all</source>
        <translation>The number must be 100, 200, 300 ... or all</translation>
    </message>
    <message>
        <source>Antall nummer som importeres: %@</source>
        <translation>Numbers to import: %@</translation>
    </message>
    <message>
        <source>approved tar on eller off</source>
        <translation>approved takes on or off</translation>
    </message>
    <message>
        <source>Importer også nummer som ikke er godkjent: %@</source>
        <translation>Also import numbers that are not approved: %@</translation>
    </message>
    <message>
        <source>ja</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>nei</source>
        <translation>no</translation>
    </message>
    <message>
        <source>settings tar «count N|all» eller «approved on|off»</source>
        <translation>settings takes “count N|all” or “approved on|off”</translation>
    </message>
    <message>
        <source>Telefonnummerlisten: aldri hentet</source>
        <translation>Phone number list: never fetched</translation>
    </message>
    <message>
        <source>Telefonnummerlisten: hentet %@, utløpt</source>
        <translation>Phone number list: fetched %@, expired</translation>
    </message>
    <message>
        <source>Telefonnummerlisten: hentet %@, gjeldende</source>
        <translation>Phone number list: fetched %@, current</translation>
    </message>
    <message>
        <source>alle</source>
        <translation>all</translation>
    </message>
    <message>
        <source>ikke valgt ennå</source>
        <translation>not chosen yet</translation>
    </message>
    <message>
        <source>Beskyttelse: %@</source>
        <translation>Protection: %@</translation>
    </message>
    <message>
        <source>på</source>
        <translation>on</translation>
    </message>
    <message>
        <source>av</source>
        <translation>off</translation>
    </message>
    <message>
        <source>Listetjeneste: %@ (reserve: %@)</source>
        <translation>List service: %@ (backup: %@)</translation>
    </message>
    <message>
        <source>status tar ingen argumenter</source>
        <translation>status takes no arguments</translation>
    </message>
    <message>
        <source>Kan ikke lese filen %@</source>
        <translation>Cannot read the file %@</translation>
    </message>
    <message>
        <source>Fant ingen telefonnummer i %@</source>
        <translation>Found no phone number in %@</translation>
    </message>
    <message>
        <source>Allerede i listen: %@ (%@)</source>
        <translation>Already listed: %@ (%@)</translation>
    </message>
    <message>
        <source>For kort til å være et telefonnummer: %@ (%@)</source>
        <translation>Too short to be a phone number: %@ (%@)</translation>
    </message>
    <message>
        <source>Lagt til: %@, allerede i listen: %@, uten nummer: %@</source>
        <translation>Added: %@, already listed: %@, without a number: %@</translation>
    </message>
    <message>
        <source>add --from tar én vCard-fil</source>
        <translation>add --from takes one vCard file</translation>
    </message>
    <message>
        <source>Det finnes ingen ringeplagvernkontakt å eksportere; slå på beskyttelsen først</source>
        <translation>There is no protection contact to export; turn protection on first</translation>
    </message>
    <message>
        <source>Ringeplagvernkontakten med %@ nummer er skrevet til %@</source>
        <translation>The Ringeplagvern contact with %@ numbers is written to %@</translation>
    </message>
    <message>
        <source>export tar én filsti (eller - for standard ut)</source>
        <translation>export takes one file path (or - for standard output)</translation>
    </message>
    <message>
        <source>Ingen steder å publisere til er satt opp: bruk publish.conf, RINGEPLAGVERN_PUBLISH_* eller --publish-*</source>
        <translation>No place to publish to is set up: use publish.conf, RINGEPLAGVERN_PUBLISH_* or --publish-*</translation>
    </message>
    <message>
        <source>Ringeplagvern har ikke tilgang til adresseboken; ingenting er publisert</source>
        <translation>Ringeplagvern has no access to the address book; nothing was published</translation>
    </message>
    <message>
        <source>Publiserer ringeplagvernkontakten …</source>
        <translation>Publishing the Ringeplagvern contact …</translation>
    </message>
    <message>
        <source>%@: publisert</source>
        <translation>%@: published</translation>
    </message>
    <message>
        <source>%@: fjernet</source>
        <translation>%@: removed</translation>
    </message>
    <message>
        <source>publish tar ingen argumenter</source>
        <translation>publish takes no arguments</translation>
    </message>
    <message>
        <source>Numrene er lagret, men bare %@ av %@ kunne legges til i ringeplagvernkontakten</source>
        <translation>The numbers are saved, but only %@ of %@ could be added to the Ringeplagvern contact</translation>
    </message>
    <message>
        <source>%@ nummer er lagt til i ringeplagvernkontakten</source>
        <translation>%@ numbers are added to the Ringeplagvern contact</translation>
    </message>
    <message>
        <source>ingen forbindelse med tjeneren (%1)</source>
        <translation>no connection to the server (%1)</translation>
    </message>
    <message>
        <source>tjeneren godtok ikke brukernavnet eller passordet (HTTP 401)</source>
        <translation>the server did not accept the user name or password (HTTP 401)</translation>
    </message>
    <message>
        <source>tjeneren nektet tilgang til adresseboken (HTTP 403)</source>
        <translation>the server refused access to the address book (HTTP 403)</translation>
    </message>
    <message>
        <source>tjeneren fant ikke adresseboken (HTTP 404)</source>
        <translation>the server did not find the address book (HTTP 404)</translation>
    </message>
    <message>
        <source>kortet på tjeneren er endret av noen andre siden forrige lagring, og ble ikke overskrevet (HTTP 412)</source>
        <translation>the card on the server was changed by someone else since the last save, and was not overwritten (HTTP 412)</translation>
    </message>
    <message>
        <source>tjeneren har ikke plass til kortet (HTTP 507)</source>
        <translation>the server has no room for the card (HTTP 507)</translation>
    </message>
    <message>
        <source>tjeneren svarte HTTP %1</source>
        <translation>the server answered HTTP %1</translation>
    </message>
    <message>
        <source>kortet ble lagret, men merket for neste lagring kunne ikke skrives: %1</source>
        <translation>the card was saved, but the tag for the next save could not be written: %1</translation>
    </message>
    <message>
        <source>Evolution Data Server kan ikke nås, for det er ingen D-Bus-sesjon: %1</source>
        <translation>Evolution Data Server cannot be reached, as there is no D-Bus session: %1</translation>
    </message>
    <message>
        <source>Evolution Data Server kan ikke nås: %1</source>
        <translation>Evolution Data Server cannot be reached: %1</translation>
    </message>
    <message>
        <source>Evolution Data Server har ingen adressebok som heter «%1»</source>
        <translation>Evolution Data Server has no address book named “%1”</translation>
    </message>
    <message>
        <source>Evolution Data Server har flere adressebøker som heter «%1»; oppgi en av UID-ene i stedet: %2</source>
        <translation>Evolution Data Server has several address books named “%1”; give one of their UIDs instead: %2</translation>
    </message>
    <message>
        <source>Evolution Data Server har ingen systemadressebok</source>
        <translation>Evolution Data Server has no system address book</translation>
    </message>
    <message>
        <source>Adresseboka «%1» er slått av i Evolution Data Server</source>
        <translation>The address book “%1” is switched off in Evolution Data Server</translation>
    </message>
    <message>
        <source>svarte ikke innen %1 sekunder</source>
        <translation>did not answer within %1 seconds</translation>
    </message>
    <message>
        <source>Adresseboka «%1» i Evolution Data Server kan ikke åpnes: %2</source>
        <translation>The address book “%1” in Evolution Data Server cannot be opened: %2</translation>
    </message>
    <message>
        <source>Ringeplagvern-kontakten kunne ikke lagres i %1: %2</source>
        <translation>The Ringeplagvern contact could not be saved in %1: %2</translation>
    </message>
    <message>
        <source>Ringeplagvern-kontakten kunne ikke fjernes fra %1: %2</source>
        <translation>The Ringeplagvern contact could not be removed from %1: %2</translation>
    </message>
    <message>
        <source>Evolution Data Server (systemadresseboka)</source>
        <translation>Evolution Data Server (the system address book)</translation>
    </message>
    <message>
        <source>Evolution Data Server «%1»</source>
        <translation>Evolution Data Server “%1”</translation>
    </message>
    <message>
        <source>vCard-mappe %1</source>
        <translation>vCard folder %1</translation>
    </message>
    <message>
        <source>CardDAV: «%1» er ingen http- eller https-adresse</source>
        <translation>CardDAV: “%1” is not an http or https address</translation>
    </message>
    <message>
        <source>CardDAV: passordfilen %1 kan ikke leses</source>
        <translation>CardDAV: the password file %1 cannot be read</translation>
    </message>
</context>
</TS>
