<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_CA" sourcelanguage="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../app/dialogs/AboutDialog.ui" line="26"/>
        <source>About Movra Maintenance Tool</source>
        <translation>À propos de Movra Maintenance Tool</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/AboutDialog.ui" line="45"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;For more information about our products or software, please visit : &lt;a href=&quot;https://www.movrane.com&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#007af4;&quot;&gt;Movrane Website&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Pour plus d&apos;information sur nos produits ou logiciels, veuillez visiter : &lt;a href=&quot;https://www.movrane.com&quot;&gt;&lt;span style=&quot; text-decoration: underline; color:#007af4;&quot;&gt;Site web de Movrane&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/AboutDialog.ui" line="83"/>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>ChoiceDialog</name>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="27"/>
        <source>Which device are you updating?</source>
        <translation>Quel appareil mettez-vous à jour?</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="39"/>
        <source>LightSource (1st Gen.)</source>
        <translation>LightSource (1re gén.)</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="46"/>
        <source>KAVOR (2nd Gen.)</source>
        <translation>KAVOR (2e gén.)</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="53"/>
        <source>Electrophy.</source>
        <translation>Électrophy.</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="60"/>
        <source>Photometry</source>
        <translation>Photométrie</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="67"/>
        <source>Microscope</source>
        <translation>Microscope</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ChoiceDialog.ui" line="74"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>CypressChoiceDialog</name>
    <message>
        <location filename="../../app/dialogs/CypressChoiceDialog.ui" line="27"/>
        <source>Which device are you updating?</source>
        <translation>Quel appareil mettez-vous à jour?</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/CypressChoiceDialog.ui" line="39"/>
        <source>GQZ3</source>
        <translation>GQZ3</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/CypressChoiceDialog.ui" line="46"/>
        <source>GQZ3 KAVOR</source>
        <translation>GQZ3 KAVOR</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/CypressChoiceDialog.ui" line="53"/>
        <source>TV720</source>
        <translation>TV720</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/CypressChoiceDialog.ui" line="60"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>FirmwareFileManager</name>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="67"/>
        <source>The firmware file %1 cannot be opened</source>
        <translation>Le fichier de micrologiciel %1 ne peut pas être ouvert</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="93"/>
        <source>The firmware file cannot be read</source>
        <translation>Le fichier de micrologiciel ne peut pas être lu</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="115"/>
        <source>Line %1 is not a record</source>
        <translation>La ligne %1 n&apos;est pas un enregistrement</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="119"/>
        <source>Line %1 is longer than %2 characters</source>
        <translation>La ligne %1 dépasse %2 caractères</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="125"/>
        <source>Line %1: %2</source>
        <translation>Ligne %1 : %2</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="135"/>
        <source>Line %1: its data lie outside the firmware image</source>
        <translation>Ligne %1 : ses données sont hors de l&apos;image du micrologiciel</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="157"/>
        <source>The firmware file has no end-of-file record</source>
        <translation>Le fichier de micrologiciel n&apos;a pas d&apos;enregistrement de fin de fichier</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="161"/>
        <source>The firmware file holds no data for the device</source>
        <translation>Le fichier de micrologiciel ne contient aucune donnée pour l&apos;appareil</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="175"/>
        <source>not a record</source>
        <translation>pas un enregistrement</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="179"/>
        <source>a character that is not a hexadecimal digit</source>
        <translation>un caractère qui n&apos;est pas un chiffre hexadécimal</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="182"/>
        <source>an odd number of hexadecimal digits</source>
        <translation>un nombre impair de chiffres hexadécimaux</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="185"/>
        <source>the record is too short</source>
        <translation>l&apos;enregistrement est trop court</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="188"/>
        <source>the count byte disagrees with the record</source>
        <translation>l&apos;octet de longueur ne correspond pas à l&apos;enregistrement</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="193"/>
        <source>bad record checksum</source>
        <translation>somme de contrôle de l&apos;enregistrement erronée</translation>
    </message>
    <message>
        <location filename="../../firmware/files/FirmwareFileManager.cpp" line="196"/>
        <source>an address record that does not hold two bytes</source>
        <translation>un enregistrement d&apos;adresse qui ne contient pas deux octets</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdater</name>
    <message>
        <location filename="../../firmware/updater/FirmwareUpdater.cpp" line="368"/>
        <source>Wrong port detected</source>
        <translation>Mauvais port détecté</translation>
    </message>
</context>
<context>
    <name>LightsourceChannelCommunicator</name>
    <message>
        <location filename="../../firmware/channel/LightsourceChannelCommunicator.cpp" line="278"/>
        <source>&lt;b&gt;There was an error programming the channels.&lt;/b&gt;&lt;br&gt;Please verifiy if the channel&apos;s pins are correctly configured.</source>
        <translation>&lt;b&gt;Une erreur est survenue lors de la programmation des canaux.&lt;/b&gt;&lt;br&gt;Veuillez vérifier que les broches des canaux sont correctement configurées.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="86"/>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="91"/>
        <source>Help Content</source>
        <translation>Contenu de l&apos;aide</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="96"/>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="105"/>
        <source>English (US)</source>
        <translation>Anglais (É.-U.)</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="114"/>
        <source>French (Canada)</source>
        <translation>Français (Canada)</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="58"/>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="64"/>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.ui" line="68"/>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="19"/>
        <source>Change Language</source>
        <translation>Changer de langue</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="21"/>
        <source>Are you sure you what to change language to [&lt;b&gt;%1&lt;/b&gt;] ?</source>
        <translation>Voulez-vous vraiment changer la langue pour [&lt;b&gt;%1&lt;/b&gt;] ?</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="22"/>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="23"/>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="24"/>
        <source>&lt;b&gt;Language changed successfully!&lt;/b&gt;</source>
        <translation>&lt;b&gt;La langue a été changée!&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="25"/>
        <source>Restart the application to apply changes.</source>
        <translation>Redémarrez l&apos;application pour appliquer les changements.</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="26"/>
        <source>&lt;b&gt;Could not change language!&lt;/b&gt;</source>
        <translation>&lt;b&gt;Impossible de changer la langue!&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/main/MainWindow.cpp" line="28"/>
        <source>An unexpected error happen while trying to changes language.</source>
        <translation>Une erreur inattendue est survenue lors du changement de langue.</translation>
    </message>
</context>
<context>
    <name>NetworkCommunicator</name>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="93"/>
        <source>Refused to download %1: the file name &quot;%2&quot; is not a plain file name</source>
        <translation>Téléchargement de %1 refusé : le nom de fichier « %2 » n&apos;est pas un simple nom de fichier</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="175"/>
        <source>Could not save &quot;%1&quot;: not a plain file name</source>
        <translation>Impossible d&apos;enregistrer « %1 » : ce n&apos;est pas un simple nom de fichier</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="181"/>
        <source>Could not save %1: the folder %2 cannot be created</source>
        <translation>Impossible d&apos;enregistrer %1 : le dossier %2 ne peut pas être créé</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="189"/>
        <source>Could not save %1: no plugin folder of the acquisition program was found</source>
        <translation>Impossible d&apos;enregistrer %1 : aucun dossier de plugiciels du logiciel d&apos;acquisition n&apos;a été trouvé</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="199"/>
        <source>%1 lies outside %2</source>
        <translation>%1 est hors de %2</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="208"/>
        <source>Could not save %1: %2</source>
        <translation>Impossible d&apos;enregistrer %1 : %2</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/NetworkCommunicator.cpp" line="184"/>
        <source>Nothing received from %1 for %2 s: the transfer was stopped</source>
        <translation>Rien reçu de %1 pendant %2 s : le transfert a été arrêté</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <location filename="../../app/dialogs/ProgressDialog.ui" line="26"/>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ProgressDialog.ui" line="40"/>
        <source>Updating</source>
        <translation>Mise à jour</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ProgressDialog.ui" line="65"/>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="77"/>
        <source>Details &lt;&lt;</source>
        <translation>Détails &lt;&lt;</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/ProgressDialog.ui" line="91"/>
        <source>Force Exit</source>
        <translation>Forcer la sortie</translation>
    </message>
    <message>
        <location filename="../../app/updater/VersionComparison.cpp" line="46"/>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="49"/>
        <source>N/A</source>
        <translation>N/D</translation>
    </message>
    <message>
        <location filename="../../app/updater/DeviceTypeRules.cpp" line="21"/>
        <source>This multi-plane microscope driver controls the image recording of alternative planes with 1 or 2 excitations.</source>
        <translation>Ce pilote de microscope multiplan contrôle l’enregistrement d’images de plans alternés avec 1 ou 2 excitations.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="19"/>
        <source>Resetting to bootloader...</source>
        <translation>Redémarrage en mode chargeur d&apos;amorçage...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="21"/>
        <source>Resetting to bootloader... [Done]</source>
        <translation>Redémarrage en mode chargeur d&apos;amorçage... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="22"/>
        <source>Erasing the old hex file...</source>
        <translation>Effacement de l&apos;ancien fichier hex...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="23"/>
        <source>Erasing the old hex file... [Done]</source>
        <translation>Effacement de l&apos;ancien fichier hex... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="24"/>
        <source>Erasing the old mcs file...</source>
        <translation>Effacement de l&apos;ancien fichier mcs...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="26"/>
        <source>Erasing the old mcs file... [Sector %1 out of %2]</source>
        <translation>Effacement de l&apos;ancien fichier mcs... [Secteur %1 sur %2]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="27"/>
        <source>Erasing the old mcs file... [Done]</source>
        <translation>Effacement de l&apos;ancien fichier mcs... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="29"/>
        <source>It can take up to 30 seconds before the programming starts</source>
        <translation>Jusqu&apos;à 30 secondes peuvent s&apos;écouler avant le début de la programmation</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="30"/>
        <source>Programming the device...</source>
        <translation>Programmation de l&apos;appareil...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="32"/>
        <source>Programming the device... [%1 lines out of %2]</source>
        <translation>Programmation de l&apos;appareil... [%1 lignes sur %2]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="33"/>
        <source>Programming the device... [Done]</source>
        <translation>Programmation de l&apos;appareil... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="35"/>
        <source>Programming the channel(s)... [%1 lines out of %2]</source>
        <translation>Programmation du ou des canaux... [%1 lignes sur %2]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="37"/>
        <source>Programming the channel(s)... [Done]</source>
        <translation>Programmation du ou des canaux... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="38"/>
        <source>CRC verification...</source>
        <translation>Vérification du CRC...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="39"/>
        <source>CRC verification... [Done]</source>
        <translation>Vérification du CRC... [Terminé]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="41"/>
        <source>Warning: No confirmation received, retrying to send lines</source>
        <translation>Avertissement : aucune confirmation reçue, nouvel envoi des lignes</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="43"/>
        <source>Error: No confirmation received, programming stopped</source>
        <translation>Erreur : aucune confirmation reçue, programmation arrêtée</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="45"/>
        <source>Error: The firmware file holds nothing to program</source>
        <translation>Erreur : le fichier de micrologiciel ne contient rien à programmer</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="47"/>
        <source>Error: A record of the firmware file does not fit in a packet</source>
        <translation>Erreur : un enregistrement du fichier de micrologiciel ne tient pas dans un paquet</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="49"/>
        <source>Error: The device could not erase its memory, update stopped</source>
        <translation>Erreur : l&apos;appareil n&apos;a pas pu effacer sa mémoire, mise à jour arrêtée</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="50"/>
        <source>-1.-1</source>
        <translation>-1.-1</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="51"/>
        <source>2.0</source>
        <translation>2.0</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="52"/>
        <source>Bootloader</source>
        <translation>Bootloader</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="55"/>
        <source>A Movra device has been found. Retrieving his firmware versions</source>
        <translation>Un appareil Movra a été trouvé. Récupération de ses versions de micrologiciel</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="56"/>
        <source>A Movra camera has been found</source>
        <translation>Une caméra Movra a été trouvée</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="57"/>
        <source>Movra device removed</source>
        <translation>Appareil Movra retiré</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="58"/>
        <source>A Movra device has been found but the wrong port has been detected. Please change it to a USB3 port on your computer</source>
        <translation>Un appareil Movra a été trouvé, mais le mauvais port a été détecté. Veuillez le brancher sur un port USB3 de votre ordinateur</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="62"/>
        <source>Movra device initialized</source>
        <translation>Appareil Movra initialisé</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="64"/>
        <source>Connected</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="65"/>
        <source>Not connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="66"/>
        <source>Installed</source>
        <translation>Installé</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="67"/>
        <source>Not installed</source>
        <translation>Non installé</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="68"/>
        <source>Channels</source>
        <translation>Canaux</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="69"/>
        <source>Motherboard</source>
        <translation>Carte mère</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="71"/>
        <source>Waiting for the channel(s) connection ...</source>
        <translation>En attente de la connexion du ou des canaux ...</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="73"/>
        <source>SUCCESS : Channel(s) connection was received</source>
        <translation>SUCCÈS : la connexion du ou des canaux a été reçue</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="75"/>
        <source>ERROR : Channel(s) connection wasn&apos;t received</source>
        <translation>ERREUR : la connexion du ou des canaux n&apos;a pas été reçue</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="76"/>
        <source>Details &gt;&gt;</source>
        <translation>Détails &gt;&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="84"/>
        <source>No description available at the moment. [No device selected]</source>
        <translation>Aucune description disponible pour le moment. [Aucun appareil sélectionné]</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="85"/>
        <source>* Make sure to only have one and the correct Movra device connected before updating from bootloader. You can only update it manually.</source>
        <translation>* Assurez-vous que seul le bon appareil Movra est connecté avant la mise à jour à partir du chargeur d&apos;amorçage. Cette mise à jour ne peut se faire que manuellement.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="89"/>
        <source>* Make sure to only have one and the correct Movra device connected before updating from channels.</source>
        <translation>* Assurez-vous que seul le bon appareil Movra est connecté avant la mise à jour à partir des canaux.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="92"/>
        <source>* Make sure to only have one motherboard (Lightsource or Console) connected before updating from motherboard.</source>
        <translation>* Assurez-vous qu&apos;une seule carte mère (Lightsource ou Console) est connectée avant la mise à jour à partir de la carte mère.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="95"/>
        <source>* Make sure to only have one and the correct Movra device connected before updating the USB3 communication.</source>
        <translation>* Assurez-vous que seul le bon appareil Movra est connecté avant la mise à jour de la communication USB3.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="98"/>
        <source>* This driver is deprecated and cannot be updated in Movra Maintenance Tool. Please use Movra Studio v5.X if you want to update it.</source>
        <translation>* Ce pilote est obsolète et ne peut pas être mis à jour dans Movra Maintenance Tool. Veuillez utiliser Movra Studio v5.X si vous voulez le mettre à jour.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="102"/>
        <source>&lt;p&gt;The assisted rotary joint follows the rotation of the animal and keeps the optical fibers and cables free of torsion during freely moving experiments.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le joint rotatif assisté suit la rotation de l&apos;animal et garde les fibres optiques et les câbles libres de toute torsion pendant les expériences en mouvement libre.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="106"/>
        <source>&lt;p&gt;The NXLT fiber photometry driver excites and records fluorescence through one or more optical fibers.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le pilote de photométrie par fibre NXLT excite et enregistre la fluorescence par une ou plusieurs fibres optiques.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="109"/>
        <source>&lt;p&gt;The KOTW Gen3 fiber photometry driver excites and records fluorescence through one or more optical fibers.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le pilote de photométrie par fibre KOTW Gen3 excite et enregistre la fluorescence par une ou plusieurs fibres optiques.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="113"/>
        <source>&lt;p&gt;The fiber photometry system combines light sources, detectors and the acquisition console in one setup.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le système de photométrie par fibre réunit les sources lumineuses, les détecteurs et la console d&apos;acquisition en un seul montage.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="116"/>
        <source>&lt;p&gt;The behaviour camera records the animal during the experiment.&lt;/p&gt;&lt;br&gt;Updating a camera opens the camera vendor&apos;s web site, where its driver can be downloaded.</source>
        <translation>&lt;p&gt;La caméra de comportement filme l&apos;animal pendant l&apos;expérience.&lt;/p&gt;&lt;br&gt;La mise à jour d&apos;une caméra ouvre le site web du fabricant de la caméra, où son pilote peut être téléchargé.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="120"/>
        <source>&lt;p&gt;The console drives the channel modules and synchronises them with the acquisition.&lt;/p&gt;</source>
        <translation>&lt;p&gt;La console pilote les modules de canaux et les synchronise avec l&apos;acquisition.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="122"/>
        <source>&lt;p&gt;The acquisition console records and synchronises the signals of every connected module.&lt;/p&gt;</source>
        <translation>&lt;p&gt;La console d&apos;acquisition enregistre et synchronise les signaux de chaque module connecté.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="124"/>
        <source>&lt;p&gt;The light-source driver powers LEDs and lasers for optogenetics and photometry experiments.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le pilote de source lumineuse alimente les DEL et les lasers pour les expériences d&apos;optogénétique et de photométrie.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="127"/>
        <source>&lt;p&gt;The KAVOR light source delivers stable, high-power light to optical fibers.&lt;/p&gt;</source>
        <translation>&lt;p&gt;La source lumineuse KAVOR fournit aux fibres optiques une lumière stable et de haute puissance.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="129"/>
        <source>&lt;p&gt;The EEPROM memory manager reads and writes the memory of the light-source channel modules.&lt;/p&gt;&lt;br&gt;Connect only one memory manager at a time.</source>
        <translation>&lt;p&gt;Le gestionnaire de mémoire EEPROM lit et écrit la mémoire des modules de canaux de la source lumineuse.&lt;/p&gt;&lt;br&gt;Ne connectez qu&apos;un seul gestionnaire de mémoire à la fois.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="133"/>
        <source>&lt;p&gt;The one-colour microscope driver runs a miniature microscope for calcium imaging.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le pilote de microscope une couleur fait fonctionner un microscope miniature pour l&apos;imagerie calcique.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="135"/>
        <source>&lt;p&gt;The two-colour microscope driver runs a dual-colour miniature microscope.&lt;/p&gt;&lt;br&gt;Connect only one port, USB3 or USB2, at a time.</source>
        <translation>&lt;p&gt;Le pilote de microscope deux couleurs fait fonctionner un microscope miniature bicolore.&lt;/p&gt;&lt;br&gt;Ne connectez qu&apos;un seul port à la fois, USB3 ou USB2.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="139"/>
        <source>&lt;p&gt;The third-generation microscope driver runs a miniature microscope over USB 3.&lt;/p&gt;&lt;br&gt;Connect only one port, USB3 or USB2, at a time.</source>
        <translation>&lt;p&gt;Le pilote de microscope de troisième génération fait fonctionner un microscope miniature par USB 3.&lt;/p&gt;&lt;br&gt;Ne connectez qu&apos;un seul port à la fois, USB3 ou USB2.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="143"/>
        <source>&lt;p&gt;The TV720 console acquires video and synchronisation signals over USB 3.&lt;/p&gt;&lt;br&gt;Connect only one port, USB3 or USB2, at a time.</source>
        <translation>&lt;p&gt;La console TV720 acquiert la vidéo et les signaux de synchronisation par USB 3.&lt;/p&gt;&lt;br&gt;Ne connectez qu&apos;un seul port à la fois, USB3 ou USB2.</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="145"/>
        <source>&lt;p&gt;The pulse generator produces the stimulation patterns of optogenetics experiments.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le générateur d&apos;impulsions produit les séquences de stimulation des expériences d&apos;optogénétique.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="147"/>
        <source>&lt;p&gt;The YLQSA mini cube combines the excitation and emission paths of a photometry setup.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le mini cube YLQSA combine les trajets d&apos;excitation et d&apos;émission d&apos;un montage de photométrie.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="149"/>
        <source>&lt;p&gt;The multi-plane microscope driver images several focal planes of a miniature microscope.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le pilote de microscope multiplan acquiert les images de plusieurs plans focaux d&apos;un microscope miniature.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="152"/>
        <source>&lt;p&gt;The Zuvo base station talks to the wireless photometry modules.&lt;/p&gt;</source>
        <translation>&lt;p&gt;La station de base Zuvo communique avec les modules de photométrie sans fil.&lt;/p&gt;</translation>
    </message>
    <message>
        <location filename="../../firmware/core/ProgressMessages.cpp" line="154"/>
        <source>&lt;p&gt;The inertial sensor module records the head movements of the animal.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Le module de capteur inertiel enregistre les mouvements de la tête de l&apos;animal.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>SoftwareChoiceDialog</name>
    <message>
        <location filename="../../app/dialogs/SoftwareChoiceDialog.ui" line="27"/>
        <source>Which version do you want to install?</source>
        <translation>Quelle version voulez-vous installer?</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/SoftwareChoiceDialog.ui" line="39"/>
        <source>Stable Version</source>
        <translation>Version stable</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/SoftwareChoiceDialog.ui" line="46"/>
        <source>Beta Version</source>
        <translation>Version bêta</translation>
    </message>
    <message>
        <location filename="../../app/dialogs/SoftwareChoiceDialog.ui" line="53"/>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>UpdaterInformationHandler</name>
    <message>
        <location filename="../../app/catalogue/UpdaterInformationHandler.cpp" line="17"/>
        <source>Movra Tessaly acquires, displays and records the signals of Movrane instruments: light sources, consoles, rotary joints, microscope drivers and cameras, with its analysis plugins.</source>
        <translation>Movra Tessaly acquiert, affiche et enregistre les signaux des instruments Movrane : sources lumineuses, consoles, joints rotatifs, pilotes de microscope et caméras, avec ses plugiciels d&apos;analyse.</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/UpdaterInformationHandler.cpp" line="20"/>
        <source>Movra Maintenance Tool finds the connected Movrane instruments, keeps their firmware up to date and updates the Movrane programs and plugins. It serves the instruments of both Movra Studio and Movra Tessaly generations.</source>
        <translation>Movra Maintenance Tool trouve les instruments Movrane connectés, tient leur micrologiciel à jour et met à jour les logiciels et plugiciels Movrane. Il sert les instruments des générations Movra Studio et Movra Tessaly.</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/UpdaterInformationHandler.cpp" line="24"/>
        <source>Movra Memory Manager reads and writes the EEPROM memory of Movrane instruments and keeps their calibration data.</source>
        <translation>Movra Memory Manager lit et écrit la mémoire EEPROM des instruments Movrane et conserve leurs données d&apos;étalonnage.</translation>
    </message>
    <message>
        <location filename="../../app/catalogue/UpdaterInformationHandler.cpp" line="27"/>
        <source>velim%1 analyses the recordings of Movra Tessaly: signal extraction, event alignment and statistics. velim%1 runs beside the acquisition program or on its own.</source>
        <translation>velim%1 analyse les enregistrements de Movra Tessaly : extraction des signaux, alignement des événements et statistiques. velim%1 fonctionne à côté du logiciel d&apos;acquisition ou seul.</translation>
    </message>
</context>
<context>
    <name>UpdaterWidget</name>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="64"/>
        <source>Website</source>
        <translation>Site Web</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="108"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="280"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="436"/>
        <source>Check for server updates</source>
        <translation>Vérifier en ligne</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="144"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="316"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="472"/>
        <source>Update from server</source>
        <translation>Mise à jour en ligne</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="287"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="443"/>
        <source>You haven&apos;t check for updates yet</source>
        <translation>Mises à jour non vérifiées</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="71"/>
        <location filename="../../app/updater/PaneDocuments.cpp" line="75"/>
        <location filename="../../app/updater/PaneDocuments.cpp" line="90"/>
        <source>Installed</source>
        <translation>Installée</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="72"/>
        <source>Available</source>
        <translation>Disponible</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="87"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="259"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="415"/>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="92"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="264"/>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="420"/>
        <source>Status</source>
        <translation>Statut</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="115"/>
        <source>Update(s) not checked yet</source>
        <translation>Mises à jour non vérifiées</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="160"/>
        <source>Update manually</source>
        <translation>Mise à jour manuelle</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="74"/>
        <source>Bootloader Version</source>
        <translation>Version d’amorçage</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="77"/>
        <source>Motherboard Version</source>
        <translation>Version carte mère</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="75"/>
        <source>Firmware Version</source>
        <translation>Version du micrologiciel</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="76"/>
        <source>Camera Informations Version</source>
        <translation>Informations de la caméra</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="79"/>
        <source>Serial Number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="79"/>
        <source>Channel(s) Version</source>
        <translation>Version des canaux</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="81"/>
        <source>Device Description</source>
        <translation>Description de l’appareil</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="33"/>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="84"/>
        <source>Plugin Version</source>
        <translation>Version du module</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="86"/>
        <source>Plugin Description</source>
        <translation>Description du module</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="232"/>
        <source>Plugins</source>
        <translation>Modules</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="89"/>
        <source>Software Version</source>
        <translation>Version du logiciel</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="91"/>
        <source>Stable</source>
        <translation>Stable</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="92"/>
        <source>Beta</source>
        <translation>Bêta</translation>
    </message>
    <message>
        <location filename="../../app/updater/PaneDocuments.cpp" line="94"/>
        <source>Software Description</source>
        <translation>Description du logiciel</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdaterWidgetUi.ui" line="388"/>
        <source>Softwares</source>
        <translation>Logiciels</translation>
    </message>
</context>
<context>
    <name>VEKUpdaterWidget</name>
    <message>
        <location filename="../../app/updater/VersionComparison.cpp" line="37"/>
        <source>Update(s) not checked yet</source>
        <translation>Mises à jour non vérifiées</translation>
    </message>
    <message>
        <location filename="../../app/updater/VersionComparison.cpp" line="39"/>
        <source>New version(s) available</source>
        <translation>Nouvelle version disponible</translation>
    </message>
    <message>
        <location filename="../../app/updater/VersionComparison.cpp" line="40"/>
        <source>Already up-to-date</source>
        <translation>Déjà à jour</translation>
    </message>
    <message>
        <location filename="../../app/installed/InstallerRunner.cpp" line="64"/>
        <source>The installer %1 could not be started: %2</source>
        <translation>Le programme d&apos;installation %1 n&apos;a pas pu être lancé : %2</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidget.cpp" line="270"/>
        <source>&lt;b&gt;Downloading&lt;/b&gt; [%1]</source>
        <translation>&lt;b&gt;Téléchargement&lt;/b&gt; [%1]</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidget.cpp" line="272"/>
        <source>&lt;b&gt;Currently downloading from :&lt;/b&gt;&lt;br&gt;[%1]&lt;br&gt;</source>
        <translation>&lt;b&gt;Téléchargement en cours depuis :&lt;/b&gt;&lt;br&gt;[%1]&lt;br&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidget.cpp" line="273"/>
        <source>&lt;b&gt;Please be patient...&lt;/b&gt;</source>
        <translation>&lt;b&gt;Veuillez patienter...&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="51"/>
        <source>Motherboard</source>
        <translation>Carte mère</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidget.cpp" line="234"/>
        <source>Network Error : %1</source>
        <translation>Erreur réseau : %1</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidget.cpp" line="245"/>
        <source>The update server could not be reached: the versions shown are those of the program&apos;s local copies of the catalogues.</source>
        <translation>Le serveur de mises à jour est injoignable : les versions affichées sont celles des copies locales des catalogues du programme.</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="181"/>
        <source>The page %1 could not be opened: no web browser is available.</source>
        <translation>La page %1 n&apos;a pas pu être ouverte : aucun navigateur Web n&apos;est disponible.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="29"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="39"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="48"/>
        <source>Update Selection</source>
        <translation>Sélection de la mise à jour</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="40"/>
        <source>&lt;b&gt;Which device are you updating?&lt;/b&gt;</source>
        <translation>&lt;b&gt;Quel appareil mettez-vous à jour?&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="42"/>
        <source>LightSource (1st Gen.)</source>
        <translation>LightSource (1re gén.)</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="43"/>
        <source>Console (1st Gen.)</source>
        <translation>Console (1re gén.)</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="30"/>
        <source>Do you want to update the &lt;b&gt;[Motherboard]&lt;/b&gt; or the &lt;b&gt;[Channel(s)]&lt;/b&gt; ?</source>
        <translation>Voulez-vous mettre à jour la &lt;b&gt;[carte mère]&lt;/b&gt; ou le ou les &lt;b&gt;[canaux]&lt;/b&gt; ?</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="56"/>
        <source>Acquisition Console Update</source>
        <translation>Mise à jour de la console d&apos;acquisition</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="57"/>
        <source>&lt;b&gt;Change USB connection port&lt;/b&gt;</source>
        <translation>&lt;b&gt;Changez le port de connexion USB&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="58"/>
        <source>Disconnect the USB cable from [USB port] of the console and reconnect it into the [SERVICE port] of the same console.

Do it NOW.

Once done, press OK and you will then be able to choose the firmware file (.mcs) and wait for the update to start automatically.</source>
        <translation>Débranchez le câble USB du [port USB] de la console et rebranchez-le dans le [port SERVICE] de la même console.

Faites-le MAINTENANT.

Une fois fait, appuyez sur OK; vous pourrez alors choisir le fichier de micrologiciel (.mcs) et attendre que la mise à jour démarre d&apos;elle-même.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="24"/>
        <source>&lt;b&gt;Device not connected to the correct port.&lt;/b&gt;</source>
        <translation>&lt;b&gt;L&apos;appareil n&apos;est pas branché au bon port.&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="25"/>
        <source>To update, change the connection to the USB port and redo the update.</source>
        <translation>Pour le mettre à jour, branchez-le au port USB et refaites la mise à jour.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="19"/>
        <source>&lt;b&gt;There are more than one device connected.&lt;/b&gt;</source>
        <translation>&lt;b&gt;Plus d&apos;un appareil est branché.&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="20"/>
        <source>Please remove all but the one device you want to update, then try again.</source>
        <translation>Débranchez tous les appareils sauf celui à mettre à jour, puis réessayez.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="64"/>
        <source>LightSource Update</source>
        <translation>Mise à jour de la LightSource</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="65"/>
        <source>&lt;b&gt;Channel(s) needs to be update before the motherboard&lt;/b&gt;</source>
        <translation>&lt;b&gt;Le ou les canaux doivent être mis à jour avant la carte mère&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="66"/>
        <source>This will ensure a proper update. Throughout the installation, 2 files will be selected, beginning with the channel(s) firmware file (.hex)</source>
        <translation>Cela assure une mise à jour correcte. Au cours de l&apos;installation, 2 fichiers seront choisis, en commençant par le fichier de micrologiciel du ou des canaux (.hex)</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="71"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="76"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="84"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="92"/>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="72"/>
        <source>&lt;b&gt;Selected device doesn&apos;t seem to be connected.&lt;/b&gt;</source>
        <translation>&lt;b&gt;L&apos;appareil choisi ne semble pas branché.&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="73"/>
        <source>Please verify your connections and try again.</source>
        <translation>Vérifiez vos connexions et réessayez.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="77"/>
        <source>&lt;b&gt;Downloaded/Selected file doesn&apos;t seem to be accessible [%1].&lt;/b&gt;</source>
        <translation>&lt;b&gt;Le fichier téléchargé ou choisi ne semble pas accessible [%1].&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="78"/>
        <source>Please make sure you have all the rights to use that file and make sure your firewall or another program doesn&apos;t block/use your file. Try again after those verifications have been done.</source>
        <translation>Assurez-vous d&apos;avoir tous les droits sur ce fichier et que votre pare-feu ou un autre programme ne le bloque ou ne l&apos;utilise pas. Réessayez une fois ces vérifications faites.</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="85"/>
        <source>&lt;b&gt;Downloaded/Selected file cannot be used for programming [%1].&lt;/b&gt;</source>
        <translation>&lt;b&gt;Le fichier téléchargé ou choisi ne peut pas servir à la programmation [%1].&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="86"/>
        <source>Please make sure you got the correct file. If you have any interrogation about what you&apos;re doing, please contact Movra Support and we will make sure you program the correct device with the correct firmware</source>
        <translation>Assurez-vous d&apos;avoir le bon fichier. Pour toute question sur ce que vous faites, communiquez avec le soutien Movra et nous veillerons à ce que vous programmiez le bon appareil avec le bon micrologiciel</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="93"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="100"/>
        <source>&lt;b&gt;A problem occured while updating the firmware.&lt;/b&gt;</source>
        <translation>&lt;b&gt;Un problème est survenu pendant la mise à jour du micrologiciel.&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="94"/>
        <source>Please verify your connections and try again.

Error Information : Motherboard couldn&apos;t be updated after the channel(s)</source>
        <translation>Vérifiez vos connexions et réessayez.

Renseignements sur l&apos;erreur : la carte mère n&apos;a pas pu être mise à jour après le ou les canaux</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="99"/>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="114"/>
        <source>Updating Firmware</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="101"/>
        <source>Please verify your connections and try again.

Error information : %1</source>
        <translation>Vérifiez vos connexions et réessayez.

Renseignements sur l&apos;erreur : %1</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="104"/>
        <source>USB3.x Driver Update</source>
        <translation>Mise à jour du pilote USB3.x</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="105"/>
        <source>&lt;b&gt;Do you want to update the USB3.x Driver as well ?&lt;/b&gt;</source>
        <translation>&lt;b&gt;Voulez-vous aussi mettre à jour le pilote USB3.x ?&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="106"/>
        <source>Turn off your device and change the O/P Switch to programmming mode [P]

Do it NOW.

Once done, start the device again, and once it&apos;s recognized in the list press OK.

[MANUAL UPDATE] Choose the firmware file (.img) and wait for the update to start automatically.
[SERVER UPDATE] The update should start automatically after downloading the firmware file (.img).</source>
        <translation>Éteignez votre appareil et mettez le commutateur O/P en mode programmation [P]

Faites-le MAINTENANT.

Une fois fait, rallumez l&apos;appareil et, dès qu&apos;il apparaît dans la liste, appuyez sur OK.

[MISE À JOUR MANUELLE] Choisissez le fichier de micrologiciel (.img) et attendez que la mise à jour démarre d&apos;elle-même.
[MISE À JOUR DEPUIS LE SERVEUR] La mise à jour devrait démarrer d&apos;elle-même après le téléchargement du fichier de micrologiciel (.img).</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="351"/>
        <source>

Error information : %1</source>
        <translation>

Renseignements sur l&apos;erreur : %1</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="538"/>
        <source>&lt;b&gt;Reset To Bootloader&lt;/b&gt;</source>
        <translation>&lt;b&gt;Redémarrage dans le chargeur d&apos;amorçage&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="543"/>
        <source>&lt;b&gt;Erasing Firmware&lt;/b&gt;</source>
        <translation>&lt;b&gt;Effacement du micrologiciel&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="545"/>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="550"/>
        <source>&lt;b&gt;Updating Firmware&lt;/b&gt; [%1]</source>
        <translation>&lt;b&gt;Mise à jour du micrologiciel&lt;/b&gt; [%1]</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="562"/>
        <source>Erasing firmware completed with error</source>
        <translation>L&apos;effacement du micrologiciel s&apos;est terminé avec une erreur</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="564"/>
        <source>CRC verification failed</source>
        <translation>La vérification CRC a échoué</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="566"/>
        <source>The specified device did not reconnect by itself. Try reconnecting it manually.</source>
        <translation>L&apos;appareil ne s&apos;est pas reconnecté de lui-même. Essayez de le rebrancher manuellement.</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetServerUpdate.cpp" line="567"/>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="115"/>
        <source>&lt;b&gt;Update completed successfully!&lt;/b&gt;</source>
        <translation>&lt;b&gt;Mise à jour réussie!&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="116"/>
        <source>After pressing OK, the driver might disconnect automatically. In that case, it will reappear in the software. Please wait for this to complete (can take up to 10 seconds).

Make sure to power cycle (OFF/ON) your driver after Movra Maintenance Tool has been closed.

[EP/FP Console]
Make sure to remove USB cable from [SERVICE] port and put it back into [USB] port.

[GQZ3 / TV720]
Make sure to switch back programming switch [O/P] to operating mode [O].</source>
        <translation>Après avoir appuyé sur OK, le pilote pourrait se déconnecter de lui-même. Il réapparaîtra alors dans le logiciel. Attendez que ce soit fait (jusqu&apos;à 10 secondes).

Éteignez puis rallumez votre pilote après avoir fermé Movra Maintenance Tool.

[Console EP/FP]
Débranchez le câble USB du port [SERVICE] et rebranchez-le dans le port [USB].

[GQZ3 / TV720]
Remettez le commutateur de programmation [O/P] en mode de fonctionnement [O].</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="96"/>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="153"/>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="168"/>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="185"/>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="283"/>
        <source>Choose the Motherboard Firmware File (.hex)</source>
        <translation>Choisissez le fichier de micrologiciel de la carte mère (.hex)</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="49"/>
        <source>&lt;b&gt;Which part are you updating?&lt;/b&gt;</source>
        <translation>&lt;b&gt;Quelle partie mettez-vous à jour?&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="52"/>
        <source>Channel(s)</source>
        <translation>Canal ou canaux</translation>
    </message>
    <message>
        <location filename="../../app/updater/VEKUpdaterWidgetManualUpdate.cpp" line="173"/>
        <source>Choose the Channel(s) Firmware File (.hex)</source>
        <translation>Choisissez le fichier de micrologiciel du ou des canaux (.hex)</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="126"/>
        <source>&lt;b&gt;The download failed.&lt;/b&gt;</source>
        <translation>&lt;b&gt;Le téléchargement a échoué.&lt;/b&gt;</translation>
    </message>
    <message>
        <location filename="../../app/updater/UpdateFlowBoxes.cpp" line="127"/>
        <source>Please verify your network connection and try again.

Error information : %1</source>
        <translation>Vérifiez votre connexion réseau et réessayez.

Renseignements sur l&apos;erreur : %1</translation>
    </message>
</context>
</TS>
